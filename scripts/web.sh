#!/usr/bin/env bash
# Installs what is missing, builds the web page into build/web (a static site) and serves it on
# 127.0.0.1 to try it: scripts/web.sh [PORT] (default 8080). Ctrl+C stops the server.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset web
cmake --build --preset web --target web_site
echo "The page: open the address below (on a phone, through a tunnel to this port)."
exec node scripts/serve_site.mjs build/web "${1:-8080}"
