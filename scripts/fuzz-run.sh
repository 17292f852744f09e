#!/usr/bin/env bash
# Runs every fuzzer of BUILD for SECONDS each, seeded with the example
# programs and the test files; a crash or a sanitizer report fails the run.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
cd "$(dirname "$0")/.."
ran=0
for fuzzer in "$build"/tests/fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  ran=$((ran + 1))
  name=$(basename "$fuzzer")
  corpus=$(mktemp -d)
  seeds=(examples)
  [ "$name" = fuzz_rtf ] && seeds=(tests/files/data examples)
  log=$(mktemp)
  echo "== $name: ${seconds} s"
  # The corpus folder comes first: new inputs go there, the seeds stay.
  status=0
  "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 "$corpus" "${seeds[@]}" >"$log" 2>&1 ||
    status=$?
  grep -E '^(stat::number_of_executed_runs|stat::peak_rss_mb|Done)' "$log" || true
  rm -rf "$corpus"
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$log" >&2
    rm -f "$log"
    echo "$name failed (exit $status)" >&2
    exit 1
  fi
  rm -f "$log"
done
# No fuzzer at all is a broken build, not a pass.
if [ "$ran" -eq 0 ]; then
  echo "no fuzzer found in $build/tests/fuzz" >&2
  exit 1
fi
