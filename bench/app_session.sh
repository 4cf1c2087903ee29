# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the app benchmarks: a fresh session (tests/e2e/lib.sh) for the
# quillmark of BUILD_DIR, on Xvfb, with a sample history of ITEMS items
# (bench/tools/sample_history.py: about 300 bytes each) kept for a year.
#   bench_app_session BUILD_DIR ITEMS
source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/lib.sh"
bench_app_session() {
    local build="$1" items="$2"
    QUILLMARK_BUILD_DIR="$build" e2e_init "$build/src/app/quillmark"
    mkdir -p "$(dirname "$HISTORY_FILE")"
    python3 "$(dirname "${BASH_SOURCE[0]}")/tools/sample_history.py" "$HISTORY_FILE" "$items"
    e2e_write_settings '{"retentionPeriod": 366}'
    e2e_start_xvfb
}
