#!/usr/bin/env bash
# The Debian package as a user's machine gets it: its control fields, its
# files (all under /usr), the menu entry, lintian, and the programs run from
# the unpacked package: --version says the package's version, kmpc compiles,
# and the programs find their catalogues and reference under that root.
#   tests/package/check-package.sh build/kmp_VERSION_amd64.deb
set -uo pipefail

deb=$1
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

check() { # NAME COMMAND...: one check, counted
  local name=$1
  shift
  if "$@" >"$work/out" 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: $name"
    sed 's/^/  /' "$work/out"
  fi
}
equal() { [ "$1" = "$2" ] || { echo "expected: $2"; echo "     got: $1"; false; }; }
has() { grep -qF -- "$2" <<<"$1" || { echo "no \"$2\" in:"; echo "$1"; false; }; }
field() { dpkg-deb -f "$deb" "$1"; }

version=$(field Version)
contact=$(sed -n 's/.*kContactAddress = "\([^"]*\)".*/\1/p' "$source_dir/app/app_texts.h")

# Control fields; Depends comes from dpkg-shlibdeps, so it names the
# libraries the programs link, with versions.
check "Package" equal "$(field Package)" kmp
check "file name" equal "$(basename "$deb")" "kmp_${version}_amd64.deb"
check "Architecture" equal "$(field Architecture)" amd64
check "Section" equal "$(field Section)" electronics
check "Priority" equal "$(field Priority)" optional
check "Maintainer" equal "$(field Maintainer)" "kmp developers <$contact>"
check "Description" has "$(field Description | head -1)" "stepper motor controller"
for library in "libc6 (>=" "libqt6core6 (>=" "libqt6serialport6 (>=" "libqt6widgets6 (>="; do
  check "Depends: $library" has "$(field Depends)" "$library"
done

# Files: everything under /usr, and what each part needs.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||' >"$work/files"
check "every file under /usr" equal "$(grep -v -e '^$' -e '^usr/' "$work/files")" ""
expected=(
  usr/bin/kmp-studio usr/bin/kmpc usr/bin/kmpc-port
  usr/share/locale/sk/LC_MESSAGES/kmp.mo usr/share/locale/en/LC_MESSAGES/kmp.mo
  usr/share/applications/kmp-studio.desktop usr/share/mime/packages/kmp.xml
  usr/share/icons/hicolor/scalable/apps/kmp-studio.svg
  usr/share/icons/hicolor/48x48/apps/kmp-studio.png
  usr/share/icons/hicolor/48x48/mimetypes/application-x-kmp-program.png
  usr/share/man/man1/kmp-studio.1.gz usr/share/man/man1/kmpc.1.gz usr/share/man/man1/kmpc-port.1.gz
  usr/share/doc/kmp/jazyk.md usr/share/doc/kmp/language.md usr/share/doc/kmp/copyright
  usr/share/doc/kmp/changelog.gz usr/share/doc/kmp/CHANGELOG.md.gz
  usr/share/kmp/web/kmp.html usr/share/kmp/web/site/index.html usr/share/kmp/web/site/app.js
  usr/share/kmp/web/pristupnost.html usr/share/kmp/web/accessibility.html
  usr/share/kmp/web/site/pristupnost.html usr/share/kmp/web/site/accessibility.html
  usr/share/kmp/web/site/sw.js usr/share/kmp/web/site/manifest.webmanifest
  usr/share/kmp/web/site/licenses.txt
)
for file in "${expected[@]}"; do
  check "holds $file" grep -qx "$file" "$work/files"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
check "desktop-file-validate" desktop-file-validate "$root/usr/share/applications/kmp-studio.desktop"
check "the copyright names the page's packages" grep -q "^@codemirror/view " "$root/usr/share/doc/kmp/copyright"

# lintian: no error (its warnings and notes are printed for the reader).
lintian --fail-on error --display-level ">=warning" "$deb" >"$work/lintian" 2>&1
lintian_status=$?
sed 's/^/lintian: /' "$work/lintian"
check "lintian finds no error" equal "$lintian_status" 0

# The programs from the unpacked root (the system's Qt beside them).
run() { # PROGRAM ARGS...: from the unpacked root, in the caller's LANGUAGE
  local program=$1
  shift
  env LC_ALL=C.UTF-8 LANGUAGE="${LANGUAGE:-}" QT_QPA_PLATFORM=offscreen "$root/usr/bin/$program" "$@"
}
check "kmpc --version" equal "$(run kmpc --version)" "kmpc (kmp) $version"
check "kmpc-port --version" equal "$(run kmpc-port --version)" "kmpc (kmp) $version"
check "kmp-studio --version" equal "$(run kmp-studio --version)" "kmp-studio $version"
for page in kmpc kmp-studio kmpc-port; do
  check "$page(1) names the version" has "$(zcat "$root/usr/share/man/man1/$page.1.gz" | head -1)" "\"kmp $version\""
done
check "the page's worker cache names the version" grep -qF "kmp-$version-" "$root/usr/share/kmp/web/site/sw.js"
check "kmpc compiles priklad.txt" bash -c "$(declare -f run); root='$root'; \
  run kmpc '$source_dir/examples/priklad.txt' >'$work/listing' && [ -s '$work/listing' ]"
check "the listing is the build's" cmp "$work/listing" <("$source_dir/build/tools/kmpc" "$source_dir/examples/priklad.txt" 2>/dev/null)
check "kmpc --help names the installed reference" has "$(run kmpc --help)" "/usr/share/doc/kmp/jazyk.md"
# The Slovak catalogue from the unpacked root: the serial layer's failure
# of a missing port in Slovak.
check "catalogues found beside the programs" has \
  "$(LANGUAGE=sk run kmpc --upload /dev/kmp-no-such-port "$source_dir/examples/priklad.txt" 2>&1)" "Nemôžem"

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
