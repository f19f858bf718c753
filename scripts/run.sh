#!/usr/bin/env bash
# Installs what is missing, builds the release programs and starts Taviro.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset release
cmake --build --preset release

program=build/release/full/Taviro
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: start Taviro on a virtual one with: xvfb-run -a $program" >&2
    exit 1
fi
exec "$program"
