#!/usr/bin/env bash
# Installs what is missing, builds Quillmark and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "Quillmark needs a graphical session: neither DISPLAY nor WAYLAND_DISPLAY is set." >&2
    echo "Run this from a terminal inside your desktop session." >&2
    exit 1
fi

bash scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target quillmark
exec ./build/default/src/app/quillmark "$@"
