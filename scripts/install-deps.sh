#!/usr/bin/env bash
# Installs the Debian packages that building and testing kmp needs (Node.js
# and npm, which the page's build uses, come with the machine).
# Only missing packages are installed, after one `apt-get update`.
set -euo pipefail

packages=(
  g++ cmake make pkg-config clang-format git
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libgl-dev qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  zlib1g-dev
  gettext desktop-file-utils locales shared-mime-info groff-base
  fonts-dejavu-core fonts-liberation2
  xvfb xauth openbox x11-utils
  python3-minimal
  clang libclang-rt-14-dev
  emscripten chromium
  zip unzip dpkg-dev fakeroot lintian
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing Debian packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
