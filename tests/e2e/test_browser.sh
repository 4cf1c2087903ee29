#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The history window: opened by --show at start (a second launch is the
# lifecycle suite's), listing the history, and copying an item back from
# its row.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb
e2e_start_tray

# A small history: two items a few minutes old, one from the day before.
e2e_write_history --minutes "1 2 1560" \
    "first e2e item" "second e2e item, copy me" "from the day before"

clipboard_is() { [[ "$(xclip -o -selection clipboard 2>/dev/null)" == "$1" ]]; }

e2e_start_app --show
e2e_check "--show opens the history window at start" e2e_wait_for "the window" 15 e2e_window_shown '^Quillmark$'
wid="$(e2e_window '^Quillmark$')"
eval "$(xdotool getwindowgeometry --shell "$wid")"
e2e_check "the window is 1200 wide and as high as the 800-pixel screen allows" \
    test "$WIDTH" -eq 1200 -a "$Y" -ge 0 -a $((Y + HEIGHT)) -le 800 -a "$HEIGHT" -ge 700
sleep 0.5
e2e_screenshot browser-open

# The second row's copy button (rows are laid out from the top of the
# detail column: header, then rows of 100 px with the button on the right).
xdotool mousemove --window "$wid" $((WIDTH - 83)) 217 click 1
e2e_check "the row's Copy button puts that item on the clipboard" \
    e2e_wait_for "the copied text" 10 clipboard_is "second e2e item, copy me"
E2E_ARG="second e2e item, copy me" e2e_wait_history \
    'len(items) == 4 and items[0]["content"] == arg' "the copy-back is recorded again at the front"
e2e_screenshot browser-after-copy

e2e_stop_app TERM
e2e_expect_eq "SIGTERM ends quillmark with status 0 with the window open" 0 "$APP_STATUS"
e2e_finish
