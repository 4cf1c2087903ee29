#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Alt+Shift+V from anywhere: opens and closes the popover (also with the
# lock keys on), other combinations do nothing, a shortcut held by another
# client is reported and the tray still works, and without any tray the
# shortcut opens the popover at the pointer.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
HOLD_HOTKEY="${QUILLMARK_BUILD_DIR:-$(dirname "$QUILLMARK")/../..}/tests/tools/hold_hotkey"

ZEBRA='zebra crossing at dawn'
e2e_write_history "first item" "$ZEBRA" "vivid violet"

e2e_start_xvfb
e2e_start_tray
TRAY_PID="${E2E_PIDS[-1]}"
e2e_start_app
e2e_wait_app_ready
e2e_wait_for "the icon" 10 tray_icon_embedded

# Plain, then with each lock key on.
for lock in "" Num_Lock Caps_Lock; do
    [[ -n "$lock" ]] && xdotool key "$lock"
    xdotool key alt+shift+v
    e2e_check "Alt+Shift+V opens the popover${lock:+ with $lock on}" wait_popover_shown
    xdotool key alt+shift+v
    e2e_check "Alt+Shift+V again closes it${lock:+ with $lock on}" wait_popover_hidden
    [[ -n "$lock" ]] && xdotool key "$lock"
done

for combo in alt+v shift+v ctrl+alt+shift+v; do
    xdotool key "$combo"
    e2e_check "$combo opens nothing" popover_stays_hidden
done

# The press that opens the popover types nothing into its search: what the
# user types next is the whole query.
xdotool key alt+shift+v
wait_popover_shown
xdotool type --delay 30 "zebr"
xdotool key Down Return
e2e_check "the popover closes after Enter" wait_popover_hidden
e2e_expect_eq "the shortcut typed nothing into the search" "$ZEBRA" "$(clipboard_text)"

e2e_stop_app TERM

# Another client holds the shortcut: one line, and the tray still opens the
# popover (closing it by the icon is test_tray's).
"$HOLD_HOTKEY" >"$E2E_TMP/hold.out" 2>&1 &
HOLD_PID=$!
e2e_track "$HOLD_PID"
e2e_wait_for "the other client to hold the shortcut" 10 grep -qx held "$E2E_TMP/hold.out"
e2e_start_app
e2e_wait_app_ready
e2e_check "the refused shortcut is reported, in one line and no other" \
    e2e_wait_for "the failure line" 10 bash -c \
    '[[ "$(cat "$1")" == "Failed to register global hotkey: 10" ]]' _ "$APP_STDOUT"
e2e_wait_for "the icon" 10 tray_icon_embedded
click_tray_icon
e2e_check "the tray icon still opens the popover" wait_popover_shown
e2e_stop_app TERM
kill "$HOLD_PID"

# No tray at all: a note, the shortcut opens the popover at the pointer, and
# the icon shows up once a tray starts.
kill "$TRAY_PID"
e2e_wait_for "trayer to end" 10 bash -c "! kill -0 $TRAY_PID 2>/dev/null"
e2e_start_app
e2e_wait_app_ready
e2e_check "one line says there is no tray" e2e_wait_for "the no-tray line" 10 \
    grep -q "No system tray available" "$APP_STDOUT"
xdotool mousemove 300 200
xdotool key alt+shift+v
e2e_check "without a tray the shortcut opens the popover" wait_popover_shown
e2e_expect_eq "... at the pointer" "300 200" "$(popover_position)"
e2e_screenshot no-tray-at-pointer
xdotool key alt+shift+v
e2e_check "... and closes it" wait_popover_hidden
e2e_start_tray
e2e_check "the icon appears once a tray starts" e2e_wait_for "the icon" 10 tray_icon_embedded
click_tray_icon
e2e_check "the late icon opens the popover" wait_popover_shown
e2e_stop_app TERM

e2e_finish
