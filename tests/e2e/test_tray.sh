#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The tray icon and its popover, driven with xdotool under Xvfb + trayer:
# the icon, opening under it with the keyboard in the search, filtering,
# closing (second click, outside click, Escape), copy-back by click, the
# right button (the windows suite photographs it under every theme).
source "$(dirname "$0")/lib.sh"
e2e_init "$1"

ZEBRA='zebra crossing at dawn'
SECOND=$'  two lines,\n  with spaces kept  '
e2e_write_history "$SECOND" "first item" "$ZEBRA" "Another Item" "the quick brown fox"

e2e_start_xvfb
e2e_start_tray
e2e_start_app
e2e_wait_app_ready

e2e_check "the icon appears in the tray" e2e_wait_for "the icon" 10 tray_icon_embedded
read -r icon_x icon_y icon_w icon_h <<<"$(tray_icon_geometry)"

# Open: under the icon, on screen, keyboard in the search field.
click_tray_icon
e2e_check "a click on the icon opens the popover" wait_popover_shown
read -r pop_x pop_y <<<"$(popover_position)"
e2e_check "the popover opens below the icon" test "$pop_y" -ge $((icon_y + icon_h))
e2e_check "the popover stays on the screen" test $((pop_x + 390)) -le 1280
e2e_screenshot open-under-icon
xdotool type --delay 30 "ZEBRA"
sleep 0.3
e2e_screenshot filtered
xdotool key Down Return
e2e_check "Enter on the filtered row closes the popover" wait_popover_hidden
e2e_expect_eq "typing went to the search and filtered to the one match" "$ZEBRA" "$(clipboard_text)"
E2E_ARG="$ZEBRA" e2e_wait_history 'items[0]["content"] == arg and len(items) == 6' \
    "the copied text comes back as the newest item"

# A second click on the icon closes it (and does not reopen it).
click_tray_icon
wait_popover_shown
click_tray_icon
e2e_check "a second click on the icon closes the popover" wait_popover_hidden
e2e_check "... and it stays closed" popover_stays_hidden

# A click elsewhere closes it; so does Escape.
click_tray_icon
wait_popover_shown
xdotool mousemove 200 600 click 1
e2e_check "a click outside closes the popover" wait_popover_hidden
click_tray_icon
wait_popover_shown
xdotool key Escape
e2e_check "Escape closes the popover" wait_popover_hidden

# The search starts empty again on each opening; the second row (now the
# two-line text) is copied exactly, spaces and newline kept, by a click.
click_tray_icon
wait_popover_shown
read -r pop_x pop_y <<<"$(popover_position)"
# Header, search field and the first row take the top ~160 px; rows are ~52 px.
xdotool mousemove $((pop_x + 150)) $((pop_y + 180)) click 1
e2e_check "clicking a row closes the popover" wait_popover_hidden
e2e_expect_eq "the clicked row's exact text is on the clipboard" "$SECOND" "$(clipboard_text)"
E2E_ARG="$SECOND" e2e_wait_history 'items[0]["content"] == arg and len(items) == 7' \
    "the clicked text comes back as the newest item"

# The footer button opens the main window and closes the popover; next time
# it hides the window again.
click_tray_icon
wait_popover_shown
read -r pop_x pop_y <<<"$(popover_position)"
xdotool mousemove $((pop_x + 40)) $((pop_y + 516)) click 1
e2e_check "\"Open Dock App\" shows the main window" e2e_wait_for "the main window" 10 e2e_window_shown '^Quillmark$'
e2e_check "... and closes the popover" wait_popover_hidden

# The right button opens nothing.
click_tray_icon 3
e2e_check "a right click opens nothing" popover_stays_hidden

e2e_finish
