#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Kivo need.
# Only what is missing is installed; a machine that has everything is left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins fonts-dejavu-core libgl-dev
  libsdl2-dev libx11-dev libxtst-dev libxi-dev libxkbcommon-dev
  # The Wayland edge: a uinput keyboard, the compositor's keymap, and layouts for its tests.
  libevdev-dev libwayland-dev xkb-data
  libgtest-dev libgmock-dev libbenchmark-dev
  clang clang-format libclang-rt-14-dev
  xvfb x11-utils xdotool imagemagick openbox
  dpkg-dev file
  # The Windows build: a cross compiler, GoogleTest's sources to build with it, Wine to run its tests.
  g++-mingw-w64-x86-64-posix googletest wine wine64
  # The end-to-end test under Wine: a window manager, and a polite close of Kivo's window.
  openbox wmctrl
  # The tests on real devices: Debian's kernel under QEMU, a static shell for its first process,
  # and udev to announce devices in it.
  qemu-system-x86 linux-image-amd64 busybox-static udev
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "kivo: these Debian packages are missing: ${missing[*]}" >&2
  echo "kivo: installing them needs root; run this script as root or install sudo." >&2
  exit 1
fi

echo "kivo: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
