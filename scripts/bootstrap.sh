#!/usr/bin/env bash
# Installs the Debian 12 packages of the sets named on the command line that are missing:
#   run   building Kivo, its man page and icons, and running it
#   test  building and running the tests and measuring programs, the Windows build under Wine,
#         and checking the packages
# A machine that has everything is left alone.
set -euo pipefail

run=(
  build-essential cmake ninja-build pkg-config dpkg-dev
  qt6-base-dev qt6-qpa-plugins qt6-wayland fonts-dejavu-core libgl-dev
  libsdl2-dev libx11-dev libxtst-dev libxi-dev libxkbcommon-dev libdbus-1-dev
  # The X server's keymap read through xkbcommon, as the Wayland edge reads the compositor's.
  libxkbcommon-x11-dev libx11-xcb-dev
  # The Wayland edge: a uinput keyboard, the compositor's keymap, and layouts for its tests;
  # the activation protocol, for a second start to bring the running Kivo's window to the front.
  libevdev-dev libwayland-dev wayland-protocols xkb-data
  # The layout GNOME and KDE Plasma have in use, through GLib: GNOME's settings and the session bus.
  libglib2.0-dev gsettings-desktop-schemas
  help2man librsvg2-bin
)
test=(
  libgtest-dev libgmock-dev libbenchmark-dev
  clang clang-format libclang-rt-14-dev
  xvfb x11-utils xdotool imagemagick openbox file
  # Keyboard layouts switched on the test X server.
  x11-xkb-utils
  # A private session bus for the test of the desktop notifications.
  dbus-daemon
  # The packages' checks.
  lintian desktop-file-utils appstream unzip
  # The Windows build: a cross compiler, GoogleTest's sources to build with it, Wine to run its tests.
  g++-mingw-w64-x86-64-posix googletest wine wine64
  # The end-to-end test under Wine: a window manager, and a polite close of Kivo's window.
  openbox wmctrl
  # The tests on real devices: Debian's kernel under QEMU, a static shell for its first process,
  # systemd to run the machine, and udev to announce devices in it.
  qemu-system-x86 linux-image-amd64 busybox-static systemd udev
  # Those on Wayland: a headless compositor, its seat, a native Wayland window that records keys,
  # and XWayland for the X11 path.
  sway seatd wev xwayland
  # The desktops' compositors, each in a login session of logind's with a D-Bus of its own,
  # drawing with Mesa's software renderer; GNOME Shell also serves the desktop's notifications,
  # through a helper that gjs runs, as every GNOME desktop has it.
  kwin-wayland mutter gnome-shell gjs libpam-systemd dbus libegl-mesa0 libgl1-mesa-dri
)

packages=()
for set in "$@"; do
  case $set in
    run) packages+=("${run[@]}") ;;
    test) packages+=("${test[@]}") ;;
    *) echo "kivo: no package set '$set'; the sets are run and test" >&2; exit 2 ;;
  esac
done

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
