#!/usr/bin/env bash
# Runs each window test and each test that works on threads N times (default 20) while as many
# busy processes as the machine has cores run beside it, and prints per test how many runs failed.
# A test that passes only on an idle machine fails here. Not part of the test command: it takes
# long. Uses the sanitized debug build (BUILD=build/other to choose another); logs of failed runs
# are kept in the folder it prints.
#   scripts/soak.sh [N]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}
build=${BUILD:-build/debug}
[ -d "$build" ] || { echo "no build in $build: run scripts/test.sh first" >&2; exit 2; }

# The window tests, and the window-free tests that start threads of their own or stop a worker.
threaded='^(Estimate|Sessions|SessionsChart|ParallelTasks|PictureFiles|StartTransactionTest|SaveDataFile)\.'
mapfile -t tests < <(ctest --test-dir "$build" -N -L window | sed -nE 's/^ *Test +#[0-9]+: (.*)$/\1/p'
                     ctest --test-dir "$build" -N | sed -nE 's/^ *Test +#[0-9]+: (.*)$/\1/p' |
                         grep -E "$threaded")
[ ${#tests[@]} -gt 0 ] || { echo "no tests found in $build" >&2; exit 2; }

busy=()
stop_busy() { [ ${#busy[@]} -eq 0 ] || kill "${busy[@]}" 2>/dev/null || true; }
trap stop_busy EXIT
for _ in $(seq "$(nproc)"); do
    (while :; do :; done) &
    busy+=($!)
done

logs=$(mktemp -d)
echo "$runs runs of ${#tests[@]} tests beside $(nproc) busy processes; failed runs' logs in $logs"
total=0
for test in "${tests[@]}"; do
    failed=0
    for run in $(seq "$runs"); do
        log="$logs/${test//[^A-Za-z0-9_.]/_}.$run.log"
        if ctest --test-dir "$build" -R "^${test//./\\.}\$" --no-tests=error --output-on-failure >"$log" 2>&1; then
            rm -f "$log"
        else
            failed=$((failed + 1))
        fi
    done
    total=$((total + failed))
    printf '%4d of %d failed  %s\n' "$failed" "$runs" "$test"
done
echo "failed runs in all: $total"
[ "$total" -eq 0 ]
