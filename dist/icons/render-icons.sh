#!/bin/sh
# Renders the PNG sizes of the program's icon from kmp-studio.svg.
# Needs rsvg-convert (Debian package librsvg2-bin); the PNGs are kept in git,
# so building does not need it.
set -eu
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" kmp-studio.svg --output "kmp-studio-$size.png"
done
