#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The command line: --help, --version and mistakes answer without a
# display; --toggle, --show and --settings reach the running instance (and
# start one when none runs); --quit asks through the quit alert, and says so
# when nothing runs.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/popover_lib.sh"
e2e_init "$1"

out="$E2E_TMP/cli.out"
err="$E2E_TMP/cli.err"
run_cli() { "$QUILLMARK" "$@" >"$out" 2>"$err"; }

# Answered on the spot, display or not.
env -u DISPLAY "$QUILLMARK" --help >"$out" 2>"$err"
e2e_expect_eq "--help ends with status 0" 0 "$?"
e2e_check "--help lists every command" bash -c \
    "grep -q -- --toggle '$out' && grep -q -- --show '$out' && grep -q -- --settings '$out' && grep -q -- --quit '$out'"
env -u DISPLAY "$QUILLMARK" --version >"$out" 2>"$err"
e2e_expect_eq "--version ends with status 0" 0 "$?"
e2e_check "--version prints the name and version" grep -Eq '^Quillmark [0-9]+\.[0-9]+' "$out"
env -u DISPLAY "$QUILLMARK" --frobnicate >"$out" 2>"$err"
e2e_expect_eq "an unknown option ends with status 2" 2 "$?"
e2e_check "an unknown option is named on stderr" grep -q "Unknown option '--frobnicate'" "$err"

e2e_start_xvfb
e2e_start_wm
e2e_start_tray

run_cli --quit
e2e_expect_eq "--quit with nothing running ends with status 1" 1 "$?"
e2e_check "--quit with nothing running says so" grep -q "Quillmark is not running." "$err"

# Quillmark's own icon on a window: the sizes it is drawn at, not Qt's glyph.
own_icon() {
    local window
    window="$(e2e_window "$1")"
    [[ -n "$window" ]] && xprop -id "$window" _NET_WM_ICON 2>/dev/null >"$E2E_TMP/icon.txt" &&
        grep -q 'Icon (16 x 16)' "$E2E_TMP/icon.txt" && grep -q 'Icon (128 x 128)' "$E2E_TMP/icon.txt"
}

# --toggle with nothing running starts Quillmark and opens the popover.
e2e_start_app --toggle
e2e_check "--toggle starts quillmark" e2e_wait_app_ready
e2e_check "--toggle at start opens the popover" wait_popover_shown
e2e_screenshot cli-toggle-start
run_cli --toggle
e2e_expect_eq "--toggle to the running instance ends with status 0" 0 "$?"
e2e_check "a second --toggle closes the popover" e2e_wait_for "the popover to close" 10 popover_hidden

run_cli --show
e2e_expect_eq "--show to the running instance ends with status 0" 0 "$?"
e2e_check "--show shows the history window" e2e_wait_for "the history window" 10 e2e_window_shown '^Quillmark$'
run_cli --settings
e2e_expect_eq "--settings to the running instance ends with status 0" 0 "$?"
e2e_check "--settings opens the settings window" e2e_wait_for "the settings window" 10 e2e_window_shown '^Settings$'
e2e_check "the history window carries Quillmark's icon" own_icon '^Quillmark$'
e2e_check "the settings window carries Quillmark's icon" own_icon '^Settings$'
e2e_screenshot cli-settings
e2e_stop_app TERM
e2e_expect_eq "SIGTERM ends quillmark with status 0" 0 "$APP_STATUS"

# --settings and --show start Quillmark when none runs.
e2e_start_app --settings
e2e_check "--settings at start opens the settings window" \
    e2e_wait_for "the settings window" 15 e2e_window_shown '^Settings$'
e2e_stop_app TERM

# --quit goes through the alert; confirming ends Quillmark (what the other
# answers do is test_lifecycle's).
e2e_start_app
e2e_wait_app_ready
e2e_wait_app_connected
ALERT='^Quit Quillmark\?$'
run_cli --quit
e2e_expect_eq "--quit to the running instance ends with status 0" 0 "$?"
e2e_check "--quit brings up the quit alert, with the keyboard" e2e_wait_active "$ALERT"
e2e_check "the alert carries Quillmark's icon" own_icon "$ALERT"
e2e_screenshot cli-quit-alert
xdotool key Tab Return
e2e_check "confirming the alert ends quillmark" \
    e2e_wait_for "quillmark to end" 10 bash -c "! kill -0 $APP_PID 2>/dev/null"
wait "$APP_PID" 2>/dev/null
e2e_expect_eq "quillmark ends with status 0 after the confirmed quit" 0 "$?"
e2e_finish
