#!/usr/bin/env bash
# Installs the Debian packages the build, the application and the tests need, when any is missing.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6serialport6-dev libgl-dev
  libquazip1-qt6-dev
  libcli11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  python3-openpyxl
  clang libclang-rt-14-dev
  xdg-utils
  iproute2 util-linux
  librsvg2-bin python3 desktop-file-utils appstream shared-mime-info man-db bash-completion file
  libglib2.0-bin
  dpkg-dev lintian
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
