#!/usr/bin/env bash
# Every include points down: each part includes only itself and the parts it is built on, and the
# window-free parts include no Qt header. Prints each include that breaks the rule.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
    [core]="core"
    [datafile]="core datafile"
    [stats]="core stats"
    [charts]="core stats charts"
    [forms]="core forms"
    [full]="core datafile forms full"
    [lite]="core forms lite"
    [estimate]="core forms stats charts estimate"
)
windowFree="core datafile stats"

broken=0
for part in "${!allowed[@]}"; do
    [ -d "$part" ] || continue
    while IFS= read -r hit; do
        included=$(sed -E 's/^[^:]*:[0-9]+:#include "([^"]*)".*/\1/' <<<"$hit")
        target=${included%%/*}
        if [ "$target" = "$included" ] || [[ " ${allowed[$part]} " != *" $target "* ]]; then
            echo "wrong direction: $hit"
            broken=1
        fi
    done < <(grep -rnE '^#include "' "$part" --include='*.h' --include='*.cpp' || true)
    if [[ " $windowFree " == *" $part "* ]]; then
        if grep -rnE '^#include <Q' "$part" --include='*.h' --include='*.cpp'; then
            echo "a window-free part includes Qt: $part"
            broken=1
        fi
    fi
done
exit $broken
