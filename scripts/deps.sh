#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Quillory needs, and only those that are missing.
#   scripts/deps.sh build   what building and running the program needs
#   scripts/deps.sh test    that, plus what the test suite needs (X server, window manager, tray,
#                           xdotool/xclip, clang for the fuzzers, LibreOffice and pandoc for the
#                           page-format checks)
# Works as root or through sudo.
set -euo pipefail

build_pkgs=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libqt6printsupport6 libgl-dev
  libxcb1-dev libxcb-keysyms1-dev libx11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
)
test_pkgs=(
  xvfb openbox trayer xdotool xclip x11-utils wmctrl fonts-dejavu-core desktop-file-utils imagemagick
  libsm-dev libice-dev
  clang libclang-rt-14-dev
  pandoc unrtf libreoffice-writer-nogui
)

want=("${build_pkgs[@]}")
if [ "${1:-build}" = test ]; then
  want+=("${test_pkgs[@]}")
fi

missing=()
for p in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
