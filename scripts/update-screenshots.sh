#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Refreshes the README's screenshots in docs/ from the pictures that the
# end-to-end suites take (run `bash scripts/test.sh` first): the windows
# suite photographs each window in every theme on a 1366x768 screen.
# Optional argument: the CMake preset whose build to take them from.
set -euo pipefail
cd "$(dirname "$0")/.."

artifacts="build/${1:-default}/e2e-artifacts/test_windows"
[[ -d "$artifacts" ]] || { echo "No end-to-end pictures in $artifacts: run the tests first." >&2; exit 1; }
mkdir -p docs
cp "$artifacts/popover-auroraEmber.png" docs/popover.png
cp "$artifacts/history-light.png" docs/history-window.png
cp "$artifacts/settings-auroraBlue.png" docs/settings-window.png
echo "Updated docs/popover.png, docs/history-window.png, docs/settings-window.png"
