#!/usr/bin/env bash
# Whole kmpc processes uploading the example program to four echoing
# pseudo-terminals at once (--upload P1,P2,P3,P4) against uploading to each
# alone. The parallel upload should take the time of the longest single one
# within 5 %. Measured with boards that echo at once (the process's own cost)
# and with boards that echo at the line's pace (300 baud 8N2, as a real board).
# Usage: classroom_upload.sh BUILD [ROUNDS]
set -euo pipefail
build=${1:-build}
rounds=${2:-7}
here=$(cd "$(dirname "$0")" && pwd)
kmpc="$build/tools/kmpc"
program="$here/../../examples/priklad.txt"
[ -x "$kmpc" ] || { echo "classroom_upload.sh: $kmpc not built" >&2; exit 1; }
[ -x "$build/tools/kmpc-port" ] || { echo "classroom_upload.sh: kmpc-port not built" >&2; exit 1; }

peers_pid=
trap '[ -z "$peers_pid" ] || kill "$peers_pid" 2>/dev/null || true' EXIT

now_us() { echo $(( $(date +%s%N) / 1000 )); }

# Microseconds of one kmpc upload to the ports given as one --upload value.
upload_us() {
  local start end
  start=$(now_us)
  LC_ALL=C KMP_SIMULATOR= "$kmpc" --upload "$1" "$program" >/dev/null 2>&1 ||
    { echo "classroom_upload.sh: upload to $1 failed" >&2; exit 1; }
  end=$(now_us)
  echo $((end - start))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

ms() { printf '%d.%03d' $(($1 / 1000)) $(($1 % 1000)); }

# One measurement with boards of the given pace; prints its line, returns 1
# when the target is missed.
measure() {
  local label=$1 pace=$2 peers_out
  peers_out=$(mktemp)
  /usr/bin/python3 "$here/echo_ptys.py" 4 "$pace" >"$peers_out" &
  peers_pid=$!
  while [ "$(wc -l <"$peers_out")" -lt 4 ]; do sleep 0.05; done
  mapfile -t ports <"$peers_out"
  local all singles=() parallels=()
  all=$(IFS=,; echo "${ports[*]}")
  upload_us "$all" >/dev/null  # warm the caches
  for ((r = 0; r < rounds; r++)); do
    local longest=0 t
    for p in "${ports[@]}"; do
      t=$(upload_us "$p")
      [ -n "$t" ] || exit 1
      ((t > longest)) && longest=$t
    done
    singles+=("$longest")
    t=$(upload_us "$all")
    [ -n "$t" ] || exit 1
    parallels+=("$t")
  done
  kill "$peers_pid"
  wait "$peers_pid" 2>/dev/null || true
  peers_pid=
  rm -f "$peers_out"
  local single parallel
  single=$(printf '%s\n' "${singles[@]}" | median)
  parallel=$(printf '%s\n' "${parallels[@]}" | median)
  printf 'classroom upload, %s: longest of 4 single uploads %s ms, 4 at once %s ms (%s %%, target <= +5 %%), median of %d rounds\n' \
    "$label" "$(ms "$single")" "$(ms "$parallel")" \
    "$(awk -v p="$parallel" -v s="$single" 'BEGIN { printf "%+.1f", (p - s) * 100 / s }')" "$rounds"
  [ $((parallel * 100)) -le $((single * 105)) ]
}

status=0
measure "boards at the line's pace (25 bytes, 300 baud)" 0.0366667 || status=1
measure "boards that echo at once" 0 || status=1
exit $status
