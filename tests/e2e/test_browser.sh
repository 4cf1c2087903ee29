#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The history window: hidden at launch, shown by a second launch and by
# --show, listing the history, and copying an item back from its row.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb
e2e_start_tray

# A small history: two items a few minutes old, one from the day before.
mkdir -p "$(dirname "$HISTORY_FILE")"
python3 - "$HISTORY_FILE" <<'PY'
import json, sys, uuid, datetime
now = datetime.datetime.now(datetime.timezone.utc).replace(microsecond=0)
def item(text, minutes):
    at = now - datetime.timedelta(minutes=minutes)
    return {"content": text, "createdAt": at.strftime("%Y-%m-%dT%H:%M:%SZ"),
            "id": str(uuid.uuid4()).upper()}
items = [item("first e2e item", 1), item("second e2e item, copy me", 2),
         item("from the day before", 26 * 60)]
json.dump(items, open(sys.argv[1], "w"), indent=2, sort_keys=True)
PY

window_shown() { xdotool search --onlyvisible --name '^Quillmark$' >/dev/null 2>&1; }
clipboard_is() { [[ "$(xclip -o -selection clipboard 2>/dev/null)" == "$1" ]]; }

e2e_start_app
e2e_check "quillmark starts" e2e_wait_app_ready
e2e_wait_app_connected
sleep 0.5 # give a wrongly opened window time to appear
e2e_check "no window opens at launch" bash -c '! xdotool search --onlyvisible --name "^Quillmark$"'

"$QUILLMARK" >"$E2E_TMP/second.out" 2>&1
e2e_expect_eq "a second launch hands over and ends with status 0" 0 "$?"
e2e_check "the second launch shows the history window" \
    e2e_wait_for "the window" 10 window_shown
e2e_stop_app TERM
e2e_expect_eq "SIGTERM ends quillmark with status 0" 0 "$APP_STATUS"

e2e_start_app --show
e2e_check "--show opens the history window at start" e2e_wait_for "the window" 15 window_shown
wid="$(xdotool search --onlyvisible --name '^Quillmark$' | head -n 1)"
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
