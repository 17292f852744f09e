#!/usr/bin/env bash
# The page's benchmark (bench/web/page_bench.mjs) against make web's build.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
exec node "$here/bench/web/page_bench.mjs" "${WEB_BUILD:-$here/build-web}"
