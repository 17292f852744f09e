#!/usr/bin/env bash
# Starts the tool from the build folder with the simulated controller board.
# Without a window program or a display it runs the command-line demo: the
# example program is compiled and uploaded to the simulated board ("sim")
# with kmpc, which prints the listing, the compile log and every byte that
# the board returns.
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
studio="$build/app/kmp-studio"
kmpc="$build/tools/kmpc"
if [ -x "$studio" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec "$studio" --simulator
fi
if [ -x "$studio" ]; then
  echo "No display found: running the command-line demo instead."
fi
echo "== kmpc --simulator --list-ports =="
"$kmpc" --simulator --list-ports
echo
echo "== kmpc --simulator --upload sim examples/priklad.txt =="
status=0
"$kmpc" --simulator --upload sim "$here/examples/priklad.txt" 2>&1 || status=$?
echo "== kmpc exit status: $status =="
exit "$status"
