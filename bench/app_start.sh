#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Start to idle of the real app on Xvfb with a history of ITEMS items
# (bench/tools/sample_history.py: about 300 bytes each), as Quillmark itself
# last wrote it: the CPU the whole process took (all threads, user and
# system) until it sits idle, RUNS times. With --callgrind, one more start
# under callgrind: the instructions of the same, which a busy machine does
# not blur. Reports figures; asserts nothing.
#   bash bench/app_start.sh BUILD_DIR [ITEMS] [RUNS] [--callgrind]
set -uo pipefail
build="$(readlink -f "${1:?usage: app_start.sh BUILD_DIR [ITEMS] [RUNS] [--callgrind]}")"
items="${2:-100000}"
runs="${3:-5}"
callgrind="${4:-}"
source "$(dirname "$0")/app_session.sh"
bench_app_session "$build" "$items"

# Nanoseconds on the CPU, summed over the threads of PID.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f\n", s }'; }
# Waits until PID has used less than 0.5 ms of CPU in a whole second.
wait_idle() {
    local pid="$1" limit="$2" before after n
    before="$(cpu_ns "$pid")"
    for ((n = 0; n < limit; n++)); do
        sleep 1
        after="$(cpu_ns "$pid")"
        ((after - before < 500000)) && return 0
        before="$after"
    done
    return 1
}

# The first start rewrites the file written by another program in
# Quillmark's own form; the starts measured read that.
e2e_start_app
wait_idle "$APP_PID" 60
e2e_stop_app
echo "items: $items, history file $(($(stat -c %s "$HISTORY_FILE") / 1000)) kB"

for ((run = 1; run <= runs; run++)); do
    e2e_start_app
    wait_idle "$APP_PID" 60
    # The second it took to see it idle is in the figure: a few
    # microseconds of the poll's ticks.
    echo "start to idle, run $run: $(($(cpu_ns "$APP_PID") / 1000)) us CPU (whole process)"
    e2e_stop_app
done

if [[ "$callgrind" == --callgrind ]]; then
    out="$E2E_TMP/callgrind.out"
    valgrind --tool=callgrind --callgrind-out-file="$out.%p" --dump-instr=no \
        "$QUILLMARK" >"$E2E_TMP/callgrind.stdout" 2>"$E2E_TMP/callgrind.stderr" &
    APP_PID=$!
    e2e_track "$APP_PID"
    wait_idle "$APP_PID" 600
    callgrind_control --dump=idle "$APP_PID" >/dev/null
    e2e_wait_for "the callgrind dump" 30 bash -c 'compgen -G "$1.$2.*" >/dev/null' _ "$out" "$APP_PID"
    sleep 1
    echo "start to idle under callgrind: $(awk '/^(summary|totals):/ { print $2; exit }' "$out.$APP_PID".*) instructions (whole process)"
    # Kept for callgrind_annotate when asked for.
    [[ -n "${CALLGRIND_KEEP:-}" ]] && cp "$out.$APP_PID".* "$CALLGRIND_KEEP"
    e2e_stop_app
fi
