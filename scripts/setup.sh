#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Taviro need, if any is missing:
# among them Emscripten for the web page and Chromium to test it (Node.js and npm come with the
# machine).
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-svg-dev zlib1g-dev libgl-dev qt6-translations-l10n
    libgtest-dev libbenchmark-dev
    fonts-ipafont-gothic
    xvfb xauth
    locales
    desktop-file-utils appstream groff-base man-db dpkg-dev file lintian
    emscripten chromium
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
