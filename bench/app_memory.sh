#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Memory and start-up cost of the real app on Xvfb: resident memory and CPU
# once a history of ITEMS items (about 300 bytes each: links, code, prose
# with some non-ASCII) is loaded, then what one copied text of HUGE_MB
# megabytes adds. Reports figures; asserts nothing.
#   bash bench/app_memory.sh build/ci [ITEMS] [HUGE_MB]
set -uo pipefail
build="$(readlink -f "${1:?usage: app_memory.sh BUILD_DIR [ITEMS] [HUGE_MB]}")"
items="${2:-100000}"
huge_mb="${3:-50}"
source "$(dirname "$0")/app_session.sh"
bench_app_session "$build" "$items"

status() { awk -v k="$1:" '$1 == k { print $2 }' "/proc/$APP_PID/status"; }
cpu_ms() { awk -v hz="$(getconf CLK_TCK)" '{ print ($14 + $15) * 1000 / hz }' "/proc/$APP_PID/stat"; }

# The first start reads a file written by another program; the second, the
# file as Quillmark writes it (the usual case).
for start in "first (foreign file)" "second (own file)"; do
    [[ -n "${APP_PID:-}" ]] && e2e_stop_app
    e2e_start_app
    e2e_wait_app_ready
    sleep 2
    echo "start to idle, $start: CPU $(cpu_ms) ms (user + system, whole process)"
done
echo "items: $items, history file $(($(stat -c %s "$HISTORY_FILE") / 1000000)) MB"
rss_loaded="$(status VmRSS)"
echo "RSS after loading: $((rss_loaded / 1024)) MB (peak $(($(status VmHWM) / 1024)) MB)"

# One huge text: mostly ASCII lines with some non-ASCII, like a log or a dump.
text="$E2E_TMP/huge.txt"
python3 - "$text" "$huge_mb" <<'PY'
import sys
line = "2026-12-05 21:04:07 build step 42 finished: naïve résumé → ok, Straße 12\n"
size = int(sys.argv[2]) * 1000 * 1000
with open(sys.argv[1], "w", encoding="utf-8") as f:
    f.write((line * (size // len(line.encode()) + 1)).encode()[:size].decode("utf-8", "ignore"))
PY
bytes="$(stat -c %s "$text")"
before="$(stat -c %s "$HISTORY_FILE")"
e2e_copy_file "$text"
e2e_wait_for "the huge text in the history file" 60 \
    bash -c '(( $(stat -c %s "$1" 2>/dev/null || echo 0) > $2 + $3 ))' _ "$HISTORY_FILE" "$before" "$((bytes / 2))"
sleep 3
rss_huge="$(status VmRSS)"
echo "one copied text of $((bytes / 1000000)) MB: RSS +$(((rss_huge - rss_loaded) / 1024)) MB" \
    "= $(awk -v a="$rss_huge" -v b="$rss_loaded" -v s="$bytes" 'BEGIN { printf "%.2f", (a - b) * 1024 / s }')x its size;" \
    "peak $(($(status VmHWM) / 1024)) MB"
e2e_stop_app
