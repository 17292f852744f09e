#!/usr/bin/env bash
# Builds the page: the core with emscripten, then the TypeScript bundle.
#   scripts/build-web.sh BUILD_DIR
# BUILD_DIR/site/ is the site for a static server, BUILD_DIR/kmp.html the
# one file that works from disk. CMAKE_FLAGS (-DKMP_WERROR=ON) reach the core.
set -euo pipefail

out=${1:-build-web}
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$out"
out=$(cd "$out" && pwd)

# Debian's emscripten finds its Node modules (acorn) only there.
export NODE_PATH=/usr/share/nodejs
if ! emcmake cmake -S "$root/web/core" -B "$out/core" -DCMAKE_BUILD_TYPE=Release ${CMAKE_FLAGS:-} >"$out/configure.log" 2>&1; then
  cat "$out/configure.log" >&2
  exit 1
fi
cmake --build "$out/core" -j "$(nproc)"

cd "$root/web"
# The packages as the lock file pins them, again only when it changed.
if [ ! -f node_modules/.package-lock.json ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
  npm ci --no-audit --no-fund --loglevel=error
fi
npx --no-install tsc --noEmit -p .
node scripts/build.mjs "$out/core/kmp_core.js" "$out"
