#!/usr/bin/env bash
# Starts the tool from the build folder; without a window program or a display
# it compiles the example program with kmpc and prints listing and log.
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
studio="$build/app/kmp-studio"
if [ -x "$studio" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec "$studio" --simulator
fi
if [ -x "$studio" ]; then
  echo "No display found: running the command-line demo instead."
fi
echo "== kmpc $here/examples/priklad.txt =="
"$build/tools/kmpc" "$here/examples/priklad.txt"
