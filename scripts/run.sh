#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building and running Quillmark needs and is missing, builds
# Quillmark and starts it. Run it as the desktop user whose clipboard it is
# to keep: as a normal user it calls sudo for apt-get only when packages are
# missing.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "Quillmark needs a graphical session: neither DISPLAY nor WAYLAND_DISPLAY is set." >&2
    echo "Run this from a terminal inside your desktop session." >&2
    exit 1
fi
if [[ $(id -u) -eq 0 ]]; then
    echo "Note: running as root, so the history goes to root's home folder." \
        "Run this as your desktop user to keep your own history." >&2
fi

bash scripts/deps.sh run
cmake --preset default >/dev/null
cmake --build --preset default --target quillmark
exec ./build/default/src/app/quillmark "$@"
