#!/usr/bin/env bash
# Time from process start to the first painted window of kmp-studio under
# Xvfb, over several runs (target: under 400 ms). Usage: startup_time.sh BUILD
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
studio="$build/app/kmp-studio"
[ -x "$studio" ] || { echo "startup_time: $studio not built, skipped"; exit 0; }
command -v xvfb-run >/dev/null || { echo "startup_time: xvfb-run missing, skipped"; exit 0; }

measure() {
  local runs=7 times=()
  for _ in $(seq "$runs"); do
    local start tag painted
    start=$(date +%s%N)
    coproc STUDIO { KMP_PRINT_FIRST_PAINT=1 exec "$studio" 2>/dev/null; }
    read -r tag painted <&"${STUDIO[0]}"
    kill "$STUDIO_PID"; wait "$STUDIO_PID" 2>/dev/null || true
    times+=($(( (painted - start) / 1000000 )))
  done
  local sorted
  sorted=$(printf '%s\n' "${times[@]}" | sort -n)
  echo "start to first paint, ms (${runs} runs): $(echo $sorted)"
  echo "median: $(echo "$sorted" | sed -n "$(( (runs + 1) / 2 ))p") ms (target: under 400 ms)"
}
# Runs itself again inside a fresh Xvfb display.
if [ -z "${KMP_BENCH_IN_XVFB:-}" ]; then
  KMP_BENCH_IN_XVFB=1 exec xvfb-run -a -s '-screen 0 1024x768x24' "$0" "$build"
fi
measure
