#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The application's life: one instance per session (a second launch brings
# the first one's history window and leaves), no window at launch, the quit
# confirmation on Ctrl+Q (and none with Alt held), and "Show Dock Icon"
# switching the windows' taskbar state live.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb
e2e_start_wm
e2e_start_tray

ALERT='^Quit Quillmark\?'
main_window() { e2e_window '^Quillmark$'; }
main_shown() { e2e_window_shown '^Quillmark$'; }
alert_gone() { e2e_window_hidden "$ALERT"; }
app_ended() { ! kill -0 "$APP_PID" 2>/dev/null; }
net_wm_state() { [[ -n "$1" ]] && xprop -id "$1" _NET_WM_STATE 2>/dev/null; }
skips_taskbar() {
    local state
    state="$(net_wm_state "$1")" || return 1
    [[ "$state" == *_NET_WM_STATE_SKIP_TASKBAR* && "$state" == *_NET_WM_STATE_SKIP_PAGER* ]]
}
in_taskbar() {
    local state
    state="$(net_wm_state "$1")" || return 1
    [[ "$state" != *_NET_WM_STATE_SKIP_TASKBAR* && "$state" != *_NET_WM_STATE_SKIP_PAGER* ]]
}
both_windows() { "$1" "$MAIN" && "$1" "$SETTINGS"; }
setting_is() {
    python3 -c 'import json,sys; sys.exit(0 if json.load(open(sys.argv[1])).get(sys.argv[2]) == json.loads(sys.argv[3]) else 1)' \
        "$SETTINGS_FILE" "$1" "$2" 2>/dev/null
}
# Activates window $1 and types the keys that follow, as a user would.
focus_and_key() {
    local window="$1"
    shift
    xdotool windowactivate --sync "$window" 2>/dev/null
    e2e_wait_for "window $window to be active" 10 e2e_is_active "$window" &&
        xdotool key --clearmodifiers "$@"
}

# --- one instance ---------------------------------------------------------------

e2e_start_app
e2e_check "quillmark starts" e2e_wait_app_ready
FIRST_PID=$APP_PID
sleep 0.5
e2e_check "no window opens at launch" bash -c '! xdotool search --onlyvisible --name "^Quillmark" >/dev/null 2>&1'

timeout 20 "$QUILLMARK" >"$E2E_TMP/second.out" 2>"$E2E_TMP/second.err"
e2e_expect_eq "a second launch ends with status 0" 0 "$?"
e2e_expect_eq "a second launch prints nothing" "" "$(cat "$E2E_TMP/second.out" "$E2E_TMP/second.err")"
e2e_check "the first instance shows its history window" e2e_wait_for "main window" 10 main_shown

# --- taskbar presence ---------------------------------------------------------

MAIN="$(main_window)"
e2e_check "with Show Dock Icon on, the history window is in the taskbar" in_taskbar "$MAIN"

focus_and_key "$MAIN" ctrl+comma
e2e_check "Ctrl+, opens the settings window" e2e_wait_for "settings window" 10 e2e_window_shown '^Settings'
SETTINGS="$(e2e_window '^Settings')"
e2e_screenshot settings-window

# The first switches of the form: Launch at Login, Start Monitoring, Show
# Dock Icon; nothing has the focus when the window opens.
focus_and_key "$SETTINGS" Tab Tab Tab space
e2e_check "the switch turns Show Dock Icon off" \
    e2e_wait_for "showDockIcon false" 10 setting_is showDockIcon false
e2e_check "off: the history and settings windows skip taskbar and pager" \
    e2e_wait_for "skip states" 10 both_windows skips_taskbar

focus_and_key "$SETTINGS" space
e2e_check "the switch turns Show Dock Icon on again" \
    e2e_wait_for "showDockIcon true" 10 setting_is showDockIcon true
e2e_check "on: the history and settings windows are back in the taskbar" \
    e2e_wait_for "no skip states" 10 both_windows in_taskbar

# --- quit confirmation ----------------------------------------------------------

focus_and_key "$MAIN" ctrl+q
e2e_check "Ctrl+Q asks first" e2e_wait_active "$ALERT"
e2e_screenshot quit-alert
# Return presses the default button, "Keep Running".
xdotool key --clearmodifiers Return
e2e_check "Keep Running closes the alert" e2e_wait_for "alert gone" 10 alert_gone
e2e_copy_text "copied after Keep Running"
E2E_ARG="copied after Keep Running" e2e_wait_history 'items and items[0]["content"] == arg' \
    "Keep Running keeps capturing"

# With Alt held, Ctrl+Q ends it at once.
xdotool windowactivate --sync "$MAIN" 2>/dev/null
e2e_wait_for "the history window to be active" 10 e2e_is_active "$MAIN"
xdotool keydown alt key ctrl+q keyup alt
e2e_check "Ctrl+Q with Alt held ends quillmark" e2e_wait_for "the app to end" 10 app_ended
e2e_check "no alert was shown" alert_gone
wait "$APP_PID" 2>/dev/null
e2e_expect_eq "it ends with status 0" 0 "$?"

# --- Show Dock Icon off from the start, and SIGTERM ---------------------------

e2e_write_settings '{"showDockIcon": false}'
e2e_start_app
e2e_check "quillmark starts again" e2e_wait_app_ready
timeout 20 "$QUILLMARK" >/dev/null 2>&1
e2e_check "the history window shows" e2e_wait_for "main window" 10 main_shown
e2e_check "off at launch: the history window skips the taskbar from the start" \
    skips_taskbar "$(main_window)"

# SIGTERM ends it without asking, even with a window shown.
e2e_stop_app TERM
e2e_expect_eq "SIGTERM with a window shown: ends with status 0" 0 "$APP_STATUS"
e2e_check "SIGTERM asks nothing" alert_gone

e2e_finish
