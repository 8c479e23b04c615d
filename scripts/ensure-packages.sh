#!/usr/bin/env bash
# Installs the Debian packages that are missing for what the caller is about to do, and does
# nothing when all are there. Usage: ensure-packages.sh [play] [tests]
#   always  what building needs: debian/control's Build-Depends, with the C++ compiler that Debian
#           takes for granted, and without debhelper, which only the Debian package is built with
#   play    what playing needs beyond the build: the private display, its window manager and
#           the VNC server that show the game where there is no desktop, and Qt's Wayland plugin
#   tests   what only the tests, the benchmarks and the package checks need
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
play=(xvfb xauth x11-utils openbox x11vnc qt6-wayland)
tests=(
    clang libclang-rt-14-dev clang-format                 # the sanitizer build and the formatting
    xdotool imagemagick strace attr git file xz-utils    # driving the game, reading its screen
    libxcb-damage0-dev                                     # the start-up benchmark
    kwin-x11 kwin-style-breeze icewm                       # other window managers
    weston xwayland mutter                                 # Wayland compositors
    qt6-gtk-platformtheme gnome-themes-extra               # a desktop theme the game must ignore
    dbus at-spi2-core python3-dbus python3-gi libglib2.0-bin orca  # the screen reader
    desktop-file-utils appstream man-db                    # the desktop entry and manual pages
    dpkg-dev debhelper lintian blhc autopkgtest apt-utils  # the Debian package
)

wanted=(g++ $(sed -n '/^Build-Depends:/,/^[^ ]/ s/^ \([a-z0-9.+-]*\).*/\1/p' "$root/debian/control" \
    | grep -vx debhelper-compat))
for set in "$@"; do
    case $set in
    play) wanted+=("${play[@]}") ;;
    tests) wanted+=("${tests[@]}") ;;
    *) echo "ensure-packages.sh: unknown set '$set' (play, tests)" >&2 && exit 2 ;;
    esac
done
missing=()
for pkg in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
    [[ "$status" == installed ]] || missing+=("$pkg")
done
((${#missing[@]} == 0)) && exit 0

echo "Installing: ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
    echo "Missing packages need root: run as root, or with sudo." >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
