#!/usr/bin/env bash
# Renders the hicolor PNG icons from the SVG (run after changing the SVG; needs librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../resources/icons"
for size in 16 32 48 64 128 256; do
    mkdir -p "hicolor/${size}x${size}"
    rsvg-convert -w "$size" -h "$size" io.github.taviro.Taviro.svg \
        -o "hicolor/${size}x${size}/io.github.taviro.Taviro.png"
done
