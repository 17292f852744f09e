#!/usr/bin/env bash
# Builds the Debian package:
#   scripts/make-package.sh PACKAGE_BUILD OUT_DIR WEB_BUILD [CMAKE_FLAGS]
# A release build in PACKAGE_BUILD with the prefix /usr and Debian's
# hardening flags; OUT_DIR/kmp_VERSION_amd64.deb is what CPack makes of it.
set -euo pipefail

tree=$(mkdir -p "$1" && cd "$1" && pwd)
out=$(mkdir -p "$2" && cd "$2" && pwd)
web=$3
root=$(cd "$(dirname "$0")/.." && pwd)

# dpkg-buildflags: what Debian builds its own packages with (stack
# protector, fortified functions, read-only relocations).
export CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
export CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
export LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"

# shellcheck disable=SC2086 # CMAKE_FLAGS holds several words
cmake -S "$root" -B "$tree" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DKMP_PACKAGE=ON -DKMP_BUILD_TESTS=OFF -DKMP_BUILD_BENCH=OFF -DKMP_GZIP_MANUALS=ON \
  -DKMP_INSTALL_UPDATE_CACHES=OFF -DKMP_WEB_BUILD="$web" ${4:-} >/dev/null
cmake --build "$tree" -j "$(nproc)"

rm -f "$out"/kmp_*_amd64.deb
(cd "$tree" && cpack -B "$tree/cpack" >/dev/null)
mv "$tree"/cpack/kmp_*_amd64.deb "$out/"
echo "package: $(ls "$out"/kmp_*_amd64.deb)"
