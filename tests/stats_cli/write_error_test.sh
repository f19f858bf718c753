#!/usr/bin/env bash
# taviro-stats writing into a full device must say so and end with a failure status.
set -u
program=$1
if [ ! -e /dev/full ]; then
    echo "this system has no /dev/full"
    exit 0
fi
message=$("$program" --sessions 1 --games 10 --seed 1 2>&1 >/dev/full)
status=$?
echo "status $status: $message"
[ "$status" -eq 1 ] && [[ "$message" == *"標準出力に書き込めませんでした"* ]]
