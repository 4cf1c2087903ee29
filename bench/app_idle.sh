#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Idle cost of the real app on Xvfb, with a tray and a history of ITEMS
# items: the CPU the whole process takes (all threads, user and system, from
# /proc/PID/task/*/schedstat) over SECONDS seconds while nothing is copied
# and no window is open, per minute and per 0.8 s poll tick, with the
# wake-ups it took and the share of each thread. Reports figures; asserts
# nothing.
#   bash bench/app_idle.sh BUILD_DIR [ITEMS] [SECONDS]
set -uo pipefail
build="$(readlink -f "${1:?usage: app_idle.sh BUILD_DIR [ITEMS] [SECONDS]}")"
items="${2:-1000}"
seconds="${3:-60}"
source "$(dirname "$0")/app_session.sh"
bench_app_session "$build" "$items"
e2e_start_tray

# Per thread: "name nanoseconds timeslices", from schedstat.
threads() {
    local task
    for task in /proc/"$1"/task/*; do
        printf '%s %s\n' "$(tr ' ' _ <"$task/comm" 2>/dev/null)" "$(cut -d ' ' -f 1,3 "$task/schedstat" 2>/dev/null)"
    done
}
total() { awk '{ ns += $2; n += $3 } END { printf "%.0f %.0f\n", ns, n }'; }

e2e_start_app
e2e_wait_app_ready 60
# Start-up's leftovers (the tray icon embedding, the writer finishing) are
# over well within this.
sleep 5
before="$(threads "$APP_PID")"
sleep "$seconds"
after="$(threads "$APP_PID")"
e2e_stop_app

read -r ns0 n0 <<<"$(total <<<"$before")"
read -r ns1 n1 <<<"$(total <<<"$after")"
awk -v ns="$((ns1 - ns0))" -v n="$((n1 - n0))" -v s="$seconds" -v items="$items" 'BEGIN {
    ticks = s / 0.8
    printf "idle over %d s, %d items: %.3f ms CPU a minute, %.1f us a tick (%d ticks), %.1f wake-ups a tick\n",
        s, items, ns / 1e6 * 60 / s, ns / 1e3 / ticks, ticks, n / ticks
}'
# Each thread's share, by name (threads of one name summed).
join <(sort <<<"$before" | awk '{ ns[$1] += $2 } END { for (t in ns) print t, ns[t] }' | sort) \
    <(sort <<<"$after" | awk '{ ns[$1] += $2 } END { for (t in ns) print t, ns[t] }' | sort) |
    awk -v s="$seconds" '{ d = $3 - $2; if (d > 0) printf "  thread %-16s %.3f ms a minute\n", $1, d / 1e6 * 60 / s }'
