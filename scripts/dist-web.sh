#!/usr/bin/env bash
# Packs the built page for a school's server:
#   scripts/dist-web.sh BUILD_DIR
# BUILD_DIR/kmp-web-VERSION.zip holds site/, kmp.html with the accessibility
# statements its footer links to, and SERVER.txt; the version is the one the
# core was built with.
set -euo pipefail

out=$(cd "${1:-build-web}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
version=$(cat "$out/core/generated/version.txt")
zip="$out/kmp-web-$version.zip"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
statements=(pristupnost.html accessibility.html)
cp -r "$out/site" "$out/kmp.html" "${statements[@]/#/$out/}" "$stage/"
cp "$root/web/SERVER.txt" "$stage/"
rm -f "$out"/kmp-web-*.zip
# -X: no Unix owners in the zip, which mean nothing on the server.
(cd "$stage" && zip -qrX "$zip" site kmp.html "${statements[@]}" SERVER.txt)
echo "web: $zip"
