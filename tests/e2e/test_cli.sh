#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The command line: --help, --version and mistakes answer without a
# display; --list and --print read the history file, Quillmark running or
# not; --toggle, --show and --copy reach the running instance (and start
# one when none runs; --settings is the windows suite's); --quit asks
# through the quit alert, and says so when nothing runs.
source "$(dirname "$0")/lib.sh"
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

# The history, read with no display and nothing running. Item 1 ends with a
# line break, holds CR LF, a tab and characters of two to four bytes.
first=$'line one\r\nline two\n\ttabbed \xc3\xbc\xe2\x82\xac\xf0\x9f\x98\x80\n'
e2e_write_history "$first" "plain" "three"
printf '%s' "$first" >"$E2E_TMP/first.txt"
printf '1\tline one line two  tabbed \xc3\xbc\xe2\x82\xac\xf0\x9f\x98\x80 \n2\tplain\n3\tthree\n' \
    >"$E2E_TMP/list.expected"
cp "$HISTORY_FILE" "$E2E_TMP/history.before"
env -u DISPLAY "$QUILLMARK" --list >"$out" 2>"$err"
e2e_expect_eq "--list with nothing running ends with status 0" 0 "$?"
e2e_check "--list prints number, tab and one-line preview, newest first" \
    cmp "$out" "$E2E_TMP/list.expected"
env -u DISPLAY "$QUILLMARK" --print 1 >"$out" 2>"$err"
e2e_expect_eq "--print ends with status 0" 0 "$?"
e2e_check "--print gives the item's exact bytes, nothing added" cmp "$out" "$E2E_TMP/first.txt"
e2e_check "reading left the history file as it was" cmp "$HISTORY_FILE" "$E2E_TMP/history.before"
# A missing number and numbers past the history: one line on stderr, status
# 1, before anything starts.
for args in "--print" "--print 4" "--copy 4"; do
    # shellcheck disable=SC2086
    env -u DISPLAY "$QUILLMARK" $args >"$out" 2>"$err"
    e2e_expect_eq "'quillmark $args': status 1, one line on stderr, none on stdout" "1 1 0" \
        "$? $(wc -l <"$err") $(wc -c <"$out")"
done
# A history that cannot be read is reported, and left where it is.
printf '[{"content": "cut' >"$HISTORY_FILE"
env -u DISPLAY "$QUILLMARK" --list >"$out" 2>"$err"
e2e_expect_eq "--list of an unreadable history: status 1, one line" "1 1" "$? $(wc -l <"$err")"
e2e_check "... which says what the app says" grep -q '^Clipboard history could not be read' "$err"
e2e_check "... and the file is neither changed nor moved aside" bash -c \
    "[[ \"\$(cat '$HISTORY_FILE')\" == '[{\"content\": \"cut' && -z \"\$(ls '$(dirname "$HISTORY_FILE")' | grep corrupt)\" ]]"
cp "$E2E_TMP/history.before" "$HISTORY_FILE"

e2e_start_xvfb
e2e_start_wm
e2e_start_tray

run_cli --quit
e2e_expect_eq "--quit with nothing running ends with status 1" 1 "$?"
e2e_check "--quit with nothing running says so" grep -q "Quillmark is not running." "$err"

# Quillmark's own icon on a window: the sizes it is drawn at, not Qt's glyph
# (set once for the whole application).
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
run_cli --toggle
e2e_expect_eq "--toggle to the running instance ends with status 0" 0 "$?"
e2e_check "a second --toggle closes the popover" e2e_wait_for "the popover to close" 10 popover_hidden

run_cli --show
e2e_expect_eq "--show to the running instance ends with status 0" 0 "$?"
e2e_check "--show shows the history window" e2e_wait_for "the history window" 10 e2e_window_shown '^Quillmark$'
e2e_check "the history window carries Quillmark's icon" own_icon '^Quillmark$'

# While it runs, --list follows what it records, and a --list line handed to
# --copy puts that item on the clipboard.
e2e_copy_text "fresh copy"
E2E_ARG="fresh copy" e2e_wait_history "$(e2e_front_is 4)" "the fresh copy is recorded"
{
    printf '1\tfresh copy\n'
    awk -F '\t' -v OFS='\t' '{ $1 = $1 + 1; print }' "$E2E_TMP/list.expected"
} >"$E2E_TMP/list.running"
run_cli --list
e2e_check "--list while quillmark runs shows the fresh copy first, then the rest" \
    cmp "$out" "$E2E_TMP/list.running"
run_cli --copy "$(sed -n 2p "$out")"
e2e_expect_eq "--copy of a --list line ends with status 0" 0 "$?"
clipboard_is_first() { xclip -o -selection clipboard 2>/dev/null | cmp -s - "$E2E_TMP/first.txt"; }
e2e_check "xclip -o gives item 2's exact bytes" \
    e2e_wait_for "the item on the clipboard" 10 clipboard_is_first
e2e_stop_app TERM

# --copy starts Quillmark when none runs, then copies.
e2e_start_app --copy "$("$QUILLMARK" --list | grep $'\tthree$')"
e2e_check "--copy at start puts the item on the clipboard" e2e_wait_for "the item on the clipboard" 15 \
    bash -c '[[ "$(xclip -o -selection clipboard 2>/dev/null)" == three ]]'
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
xdotool key Tab Return
e2e_check "confirming the alert ends quillmark" \
    e2e_wait_for "quillmark to end" 10 bash -c "! kill -0 $APP_PID 2>/dev/null"
wait "$APP_PID" 2>/dev/null
e2e_expect_eq "quillmark ends with status 0 after the confirmed quit" 0 "$?"
e2e_finish
