#!/usr/bin/env bash
# Installs what building, running and testing Ovlix needs on Debian 12.
# Runs apt-get only for packages that are missing (as root, or with sudo).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config git
  qt6-base-dev qt6-translations-l10n libjpeg-dev libx11-dev libfontconfig-dev
  libgtest-dev libgmock-dev
  clang libclang-rt-14-dev clang-format
  xvfb xauth xdotool openbox x11-utils x11-xserver-utils imagemagick bc
  trash-cli util-linux trayer libjpeg-turbo-progs
  fonts-liberation2
  liburing-dev libpng-dev zlib1g-dev
  icoutils python3-pefile binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 dbus-daemon
  desktop-file-utils appstream librsvg2-bin man-db bash-completion strace
  dpkg-dev file lintian devscripts tmux
)

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
