#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs, with apt-get, the Debian packages Quillmark needs and this machine
# lacks. Safe to run again: it installs only what is missing.
#   deps.sh run  [PACKAGE...]   what building and running Quillmark needs
#   deps.sh test [PACKAGE...]   that, plus the tools the tests drive
# Extra package names are installed on the same terms. As a normal user it
# calls sudo for apt-get, and says so first.
set -euo pipefail

# Compiler, build tools and the libraries Quillmark links; the protocol
# descriptions the test tools' Wayland glue is generated from.
build=(
    cmake ninja-build g++ pkgconf git ccache qt6-base-dev qt6-svg-dev libgl-dev libxcb1-dev
    libxcb-keysyms1-dev libxcb-xfixes0-dev libwayland-dev libwayland-bin
    wayland-protocols plasma-wayland-protocols
)
# What the program loads at run time on top of the libraries above.
run=(
    libqt6widgets6 qt6-qpa-plugins fonts-dejavu-core libwayland-client0
)
# Test tools: an X server, clipboard and input peers, a tray and a window
# manager, picture tools, the benchmark libraries, and the package checks.
test=(
    xvfb xclip xsel xdotool trayer x11-utils openbox imagemagick python3
    libbenchmark-dev libsimdjson-dev
    # end-to-end tests in a Wayland session (headless sway with XWayland)
    sway xwayland wl-clipboard dbus
    # keys pressed through sway, and a native Wayland window to hold the focus
    libxkbcommon-dev qt6-wayland
    # the popover's keyboard focus on headless KWin and mutter (GNOME)
    kwin-wayland mutter
    # Alt+Shift+V through Plasma's desktop portal under headless KWin
    xdg-desktop-portal xdg-desktop-portal-kde
    # the Debian package: its build, lintian, and the checks of its files
    build-essential debhelper dpkg-dev lintian desktop-file-utils appstream
    # the windows read as a screen reader reads them (AT-SPI)
    at-spi2-core gir1.2-atspi-2.0 python3-gi
    # a wall clock that jumps, for the real binary
    libfaketime
)

case "${1:-}" in
run) shift; packages=("${build[@]}" "${run[@]}") ;;
test) shift; packages=("${build[@]}" "${run[@]}" "${test[@]}") ;;
*) echo "usage: deps.sh run|test [PACKAGE...]" >&2; exit 2 ;;
esac
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
((${#missing[@]})) || exit 0

as_root=()
if [[ $(id -u) -ne 0 ]]; then
    if ! command -v sudo >/dev/null; then
        echo "These Debian packages are missing: ${missing[*]}" >&2
        echo "Install them as root (apt-get install ${missing[*]}), or install sudo, then run this again." >&2
        exit 1
    fi
    echo "Installing with sudo (it may ask for your password): ${missing[*]}"
    as_root=(sudo)
else
    echo "Installing: ${missing[*]}"
fi
# Another apt-get at work (an update, another script) is waited for. Each
# list and each download is shown as it comes (-q: no progress bars).
apt=("${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600)
"${apt[@]}" update -q
"${apt[@]}" install -y -q --no-install-recommends "${missing[@]}"
