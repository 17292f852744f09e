#!/usr/bin/env bash
# Peak resident memory of the idle kmp-studio window under Xvfb
# (target: under 80 MB). Usage: idle_memory.sh BUILD
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
studio="$build/app/kmp-studio"
[ -x "$studio" ] || { echo "idle_memory: $studio not built, skipped"; exit 0; }
command -v xvfb-run >/dev/null || { echo "idle_memory: xvfb-run missing, skipped"; exit 0; }

measure() {
  local tag painted peak
  coproc STUDIO { KMP_PRINT_FIRST_PAINT=1 exec "$studio" 2>/dev/null; }
  read -r tag painted <&"${STUDIO[0]}"
  sleep 2  # idle after the first paint
  peak=$(awk '/^VmHWM:/ {print $2}' "/proc/$STUDIO_PID/status")
  kill "$STUDIO_PID"; wait "$STUDIO_PID" 2>/dev/null || true
  echo "peak resident memory of the idle window: $((peak / 1024)) MB ($peak kB; target: under 80 MB)"
}
# Runs itself again inside a fresh Xvfb display.
if [ -z "${KMP_BENCH_IN_XVFB:-}" ]; then
  KMP_BENCH_IN_XVFB=1 exec xvfb-run -a -s '-screen 0 1024x768x24' "$0" "$build"
fi
measure
