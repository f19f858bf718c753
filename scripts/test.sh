#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: once for the window-free parts alone
# (no Qt), once for the web page (WebAssembly, in headless Chromium), once for everything under
# AddressSanitizer and UndefinedBehaviorSanitizer. The release build is made too (every preset
# treats warnings as errors), with the Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
# A decimal-comma locale, for the test that number conversions ignore the locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "could not generate de_DE.UTF-8" >&2
fi

cmake --preset core
cmake --build --preset core
ctest --preset core -j 2

# The web page, tested in headless Chromium against the core preset's taviro-stats: the test's
# drivers from npm at the versions of package-lock.json (no browser is downloaded).
npm ci --no-audit --no-fund
cmake --preset web
cmake --build --preset web
ctest --preset web -j 2

cmake --preset debug
cmake --build --preset debug
ctest --preset debug -j 2

cmake --preset release
cmake --build --preset release
# The Debian package: what it holds, and Debian's checker on it.
cmake --build --preset release --target package
scripts/check_packaging.sh build/release/taviro_*.deb
