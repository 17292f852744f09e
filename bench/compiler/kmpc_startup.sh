#!/usr/bin/env bash
# Mean wall time of a whole kmpc process compiling a small program.
# Usage: kmpc_startup.sh BUILD [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-500}
kmpc="$build/tools/kmpc"
[ -x "$kmpc" ] || { echo "kmpc_startup.sh: $kmpc not built" >&2; exit 1; }
program=$(mktemp)
trap 'rm -f "$program"' EXIT
printf 'PROGRAM kratky:\r\nVYSTUP(1,0,0) CAS 10\r\nROTUJ DOLAVA, ROZBEH 2 CAS 200\r\nRESET\r\nKONIEC\r\n' >"$program"
"$kmpc" "$program" >/dev/null 2>&1 || { echo "kmpc_startup.sh: kmpc failed" >&2; exit 1; }
start=$(date +%s%N)
for ((i = 0; i < runs; i++)); do
  "$kmpc" "$program" >/dev/null 2>&1
done
end=$(date +%s%N)
mean_us=$(( (end - start) / runs / 1000 ))
printf 'kmpc: %d runs, mean wall time per process %d.%03d ms (target < 5 ms)\n' \
  "$runs" $((mean_us / 1000)) $((mean_us % 1000))
