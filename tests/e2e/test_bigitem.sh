#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# A 50 MB item in a real session: the history window lists it, its sheet
# opens with a search marked all through it and scrolls to its end, and the
# popover still answers the command line while the sheet is open.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/popover_lib.sh"
e2e_init "$1"
e2e_start_xvfb
e2e_start_wm
e2e_start_tray

python3 -c 'import sys; sys.stdout.write("a line of the fifty megabyte item, with words to mark\n" * 950000 + "the very end")' \
    >"$E2E_TMP/huge.txt"
e2e_write_history "@$E2E_TMP/huge.txt" "a small item"


e2e_start_app --show
e2e_check "the window opens over a history with a 50 MB item" \
    e2e_wait_for "the window" 30 e2e_window_shown '^Quillmark$'
wid="$(e2e_window '^Quillmark$')"
xdotool windowactivate --sync "$wid" 2>/dev/null
eval "$(xdotool getwindowgeometry --shell "$wid")"
sleep 0.5

# Search, then open the first row (its text starts 60 px below the detail
# column's header) with a double click.
xdotool mousemove --window "$wid" 150 30 click 1
xdotool type --delay 50 "mark"
sleep 0.5
xdotool mousemove --window "$wid" $((WIDTH - 400)) 130 click --repeat 2 --delay 80 1
e2e_check "a double click opens the item's sheet" e2e_wait_for "the sheet" 10 e2e_window_shown '^Clipboard Item$'
sleep 0.5
e2e_screenshot bigitem-sheet-top
sheet="$(e2e_window '^Clipboard Item$')"
eval "$(xdotool getwindowgeometry --shell "$sheet")"
xdotool mousemove --window "$sheet" $((WIDTH / 2)) $((HEIGHT / 2)) click 1 key ctrl+End
sleep 1
e2e_screenshot bigitem-sheet-end

"$QUILLMARK" --toggle
e2e_check "the popover still opens from the command line" wait_popover_shown
e2e_screenshot bigitem-popover
e2e_check "quillmark is still running" kill -0 "$APP_PID"

e2e_stop_app TERM
e2e_expect_eq "SIGTERM ends quillmark with status 0" 0 "$APP_STATUS"
e2e_check "the history file still holds the 50 MB item" \
    e2e_history_ok 'len(items) == 2 and items[0]["content"].endswith("the very end")'
e2e_finish
