#!/usr/bin/env bash
# Installs, with apt-get, whatever Quillmark needs to build, run and test and
# is not on this machine yet. Safe to run again: it installs only what is missing.
# Extra package names given as arguments are installed on the same terms.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config git ccache qt6-base-dev libgl-dev libxcb1-dev
    libxcb-keysyms1-dev libsimdjson-dev libgtest-dev libbenchmark-dev libwayland-dev libwayland-bin
    # runtime on X11
    libqt6widgets6 qt6-qpa-plugins
    # end-to-end tests
    xvfb xclip xsel xdotool trayer x11-utils openbox imagemagick fonts-dejavu-core python3
    # end-to-end tests in a Wayland session (headless sway with XWayland)
    sway xwayland wl-clipboard dbus
    # packaging checks
    desktop-file-utils appstream dpkg-dev
    "$@"
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq \
        --no-install-recommends "${missing[@]}"
fi
