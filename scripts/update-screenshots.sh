#!/usr/bin/env bash
# Refreshes the README's screenshots in docs/ from the pictures that the
# end-to-end suites take (run `bash scripts/test.sh` first).
# Optional argument: the CMake preset whose build to take them from.
set -euo pipefail
cd "$(dirname "$0")/.."

artifacts="build/${1:-default}/e2e-artifacts"
[[ -d "$artifacts" ]] || { echo "No end-to-end pictures in $artifacts: run the tests first." >&2; exit 1; }
mkdir -p docs
# The popup sits under the tray icon at the top right of the 1280x800 screen.
convert "$artifacts/test_tray/theme-auroraEmber.png" -crop 390x541+890+30 +repage docs/popover.png
convert "$artifacts/test_browser/browser-open.png" -crop 1200x800+40+0 +repage docs/history-window.png
convert "$artifacts/test_lifecycle/settings-window.png" -crop 902x800+0+0 +repage docs/settings-window.png
echo "Updated docs/popover.png, docs/history-window.png, docs/settings-window.png"
