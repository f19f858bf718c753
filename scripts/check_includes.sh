#!/usr/bin/env bash
# Every include points down: each part includes only itself and the parts it is built on, and the
# window-free parts include no Qt header. Prints each include that breaks the rule.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
    [core]="core"
    [datafile]="core datafile"
    [sessions]="core sessions"
    [estimation]="core estimation"
    [chart_layout]="core sessions estimation chart_layout"
    [charts]="core sessions estimation chart_layout charts"
    [stats_cli]="core sessions estimation chart_layout stats_cli"
    [forms]="core forms"
    [full]="core datafile forms full"
    [lite]="core forms lite"
    [estimate_window]="core forms estimation chart_layout charts estimate_window"
    [web]="core datafile sessions estimation chart_layout stats_cli web"
)
windowFree="core datafile sessions estimation chart_layout stats_cli web"

broken=0
# Every folder of the product's sources is a part with its rule.
for folder in $(git ls-files '*.h' '*.cpp' | cut -d/ -f1 | sort -u); do
    case "$folder" in tests | bench) continue ;; esac
    if [ -z "${allowed[$folder]+set}" ]; then
        echo "a part without a rule: $folder/ (add it to scripts/check_includes.sh)"
        broken=1
    fi
done
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
