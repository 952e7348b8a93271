#!/usr/bin/env bash
# Installs what building and running Ovlix needs on Debian 12; with --test
# also what only its tests need (the desktops the session tests run).
# Runs apt-get only for packages that are missing (as root, or with sudo).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config git
  qt6-base-dev qt6-wayland qt6-translations-l10n libjpeg-dev libx11-dev libfontconfig-dev
  liburing-dev libpng-dev zlib1g-dev libwayland-dev dbus-daemon
  fonts-liberation2
  # without a display the run command starts Ovlix in a virtual X server
  # and takes a screenshot of it
  xvfb xauth xdotool openbox imagemagick
)
# What only the tests need: the test and style tools, the peers the tests
# and benchmarks compare with, the packaging checks, and real Wayland
# desktops, headless, for tests/system/sessions: KDE Plasma (KWin with
# XWayland, its portal, kded5's tray watcher, plasmashell), weston and
# GNOME Shell; Qt 5's Wayland platform for KDE's own programs; the
# fake-input protocol; D-Bus and the accessibility bus from Python.
test_packages=(
  libgtest-dev libgmock-dev clang libclang-rt-14-dev clang-format
  x11-utils x11-xserver-utils bc util-linux trayer strace tmux
  trash-cli libjpeg-turbo-progs icoutils icoextract python3-pefile binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  desktop-file-utils appstream librsvg2-bin man-db bash-completion dpkg-dev file lintian devscripts
  qtwayland5 kwin-wayland xwayland xdg-desktop-portal xdg-desktop-portal-kde
  plasma-workspace plasma-desktop kded5 systemsettings
  wayland-protocols plasma-wayland-protocols
  weston gnome-shell xdg-desktop-portal-gnome
  python3-dbus python3-gi gir1.2-atspi-2.0 at-spi2-core
)
[ "${1:-}" = --test ] && packages+=("${test_packages[@]}")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
