#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Quillory needs, and only those that are missing.
#   scripts/deps.sh build   what building and running the program needs
#   scripts/deps.sh package that, plus what making a Debian package needs (dpkg-shlibdeps, file)
#   scripts/deps.sh test    that, plus what the test suite needs (X server, window manager, tray,
#                           xdotool/xclip, clang for the fuzzers, LibreOffice and pandoc for the
#                           page-format checks, CUPS with CUPS-PDF for printing, tesseract to
#                           read a box's text off the screen)
# Works as root or through sudo.
set -euo pipefail

build_pkgs=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libqt6printsupport6 libgl-dev
  libxcb1-dev libxcb-keysyms1-dev libx11-dev
  libcups2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # Wayland: the data-control clipboard (libwayland-client, wayland-scanner) and Qt's Wayland platform
  libwayland-dev libwayland-bin qt6-wayland
  # GNOME's custom shortcuts through GSettings, where GNOME offers no shortcuts portal
  libglib2.0-dev
  # The search index: SQLite with FTS5
  libsqlite3-dev
)
test_pkgs=(
  xvfb openbox trayer xdotool xclip x11-utils wmctrl fonts-dejavu-core desktop-file-utils imagemagick
  libsm-dev libice-dev
  clang libclang-rt-14-dev
  pandoc unrtf
  # Writer with its X11 window: a page is pasted into it in the user's-day test
  libreoffice-writer
  cups cups-client printer-driver-cups-pdf poppler-utils
  tesseract-ocr tesseract-ocr-eng
  # Today's desktops: headless compositors, the Wayland clipboard, a private session bus with
  # stand-in desktop services, the autostart entry launched by gio
  sway weston wl-clipboard dbus-daemon python3-dbus python3-gi libglib2.0-bin
  # KDE Plasma's own stack: KWin (with kglobalaccel), the portal and its KDE backend (a Qt 5
  # Wayland client), and the fake-input protocol the test presses keys with
  kwin-wayland xdg-desktop-portal xdg-desktop-portal-kde qtwayland5 plasma-wayland-protocols
  # GNOME's settings store and the schemas of its keyboard shortcuts, for the custom shortcuts
  dconf-service dconf-cli dconf-gsettings-backend gnome-settings-daemon-common gsettings-desktop-schemas
  # A project kept in step between two machines: two Syncthing devices on loopback
  syncthing
  # The kill test reads every page after each kill in one process
  python3
  # The tree's form (scripts/lint.sh)
  clang-format clang-tidy shellcheck
  # A desktop application: the metadata's validator, the manual's reader, the Debian package's
  # tools (dpkg-shlibdeps, file, lintian), a dark scheme and a large font through qt6ct, and the
  # accessibility bus with its Python binding
  appstream man-db dpkg-dev file lintian qt6ct at-spi2-core python3-pyatspi gir1.2-atspi-2.0
)

want=("${build_pkgs[@]}")
case "${1:-build}" in
  test) want+=("${test_pkgs[@]}") ;;
  package) want+=(dpkg-dev file) ;;
esac

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
