#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# What a screen reader finds: with the accessibility bus of a desktop session
# running, the history window, the popover and the settings window are read
# through AT-SPI; every control has a name and the rows read their text and
# time. Then the history window by keyboard alone: Tab to the rows, the
# arrows, Return copies, Space opens the item and Escape closes it.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
READER="$(dirname "$0")/atspi_tree.py"
e2e_start_xvfb 1366x768
e2e_start_wm

# A session bus of our own, and the accessibility bus beside it.
dbus-daemon --session --address="unix:path=$E2E_TMP/session-bus" --nofork --nopidfile \
    >"$E2E_TMP/dbus.log" 2>&1 &
e2e_track $!
export DBUS_SESSION_BUS_ADDRESS="unix:path=$E2E_TMP/session-bus"
e2e_wait_for "the session bus" 10 test -S "$E2E_TMP/session-bus"
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E_TMP/at-spi.log" 2>&1 &
e2e_track $!
e2e_wait_for "the accessibility bus" 10 \
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress
# As when a screen reader runs.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

e2e_write_history --minutes "2 9" "Meeting moved to Thursday" "git log --oneline"
# The reader waits for each window it reads: that it is there is its check.
e2e_start_app --show
e2e_wait_app_ready
sleep 0.5
# Debian's own Python, which has python3-gi.
tree() { /usr/bin/python3 "$READER" "$@" >"$E2E_ARTIFACTS/$1.txt" 2>&1; }
e2e_check "history window: every control named, rows read text and time" \
    tree Quillmark --row "git log --oneline" --row "Meeting moved to Thursday"

e2e_check "popover: every control named, rows read text and time" \
    tree "Clipboard History" --row "git log --oneline" --open "$QUILLMARK" --toggle
xdotool key Escape
wait_popover_hidden

"$QUILLMARK" --settings >/dev/null 2>&1
sleep 0.5
e2e_check "settings window: every control named" tree Settings
xdotool windowclose "$(e2e_window '^Settings$')" 2>/dev/null

# By keyboard alone: the search field has the focus when the window opens.
MAIN="$(e2e_window '^Quillmark$')"
xdotool windowactivate --sync "$MAIN"
e2e_check "the history window has the keyboard" e2e_wait_active '^Quillmark$'
xdotool key --delay 80 Tab Tab Down Return
e2e_check "Tab, Tab, Down, Return copies the second row" \
    e2e_wait_for "the copy" 5 bash -c '[[ "$(xclip -selection clipboard -o 2>/dev/null)" == "git log --oneline" ]]'
xdotool key space
e2e_check "Space opens the row in its sheet" \
    e2e_wait_for "the sheet" 5 e2e_window_shown '^Clipboard Item$'
e2e_check "item sheet: every control named" tree "Clipboard Item"
xdotool key Escape
e2e_check "Escape closes it" e2e_wait_for "the sheet to close" 5 e2e_window_hidden '^Clipboard Item$'

e2e_stop_app TERM
e2e_finish
