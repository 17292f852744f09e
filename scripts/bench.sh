#!/usr/bin/env bash
# Runs every benchmark program and script of bench/ against the build folder.
set -uo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
status=0
for b in "$build"/bench/*/bench_*; do
  # Only programs: the build also leaves bench_*_autogen folders here.
  [ -f "$b" ] && [ -x "$b" ] || continue
  echo "== $b"; "$b" || status=1
done
for s in "$here"/bench/*/*.sh; do
  [ -x "$s" ] || continue
  echo "== $s"; "$s" "$build" || status=1
done
exit $status
