#!/bin/sh
# Renders the program icon to the PNG sizes a desktop's icon theme uses.
# Needs rsvg-convert (Debian librsvg2-bin); the PNGs are committed so the build does not.
set -eu
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" parvilon.svg -o "parvilon-$size.png"
done
