#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Capture from the real X11 clipboard: what is recorded and what is not,
# duplicate suppression, non-text and secret owners, frozen owners, owners
# that quit at once (the clipboard is kept for them), the history
# across a restart, monitoring off at start, and a clean end on SIGTERM.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb
# A tray, so that the app has nothing to say about a missing one.
e2e_start_tray

count_is() { echo "len(items) == $1"; }

stop_and_check_exit() {
    e2e_stop_app TERM
    e2e_expect_eq "$1: SIGTERM ends quillmark with status 0" 0 "$APP_STATUS"
    e2e_expect_eq "$1: nothing printed on stdout" "" "$(cat "$APP_STDOUT")"
}

# --- first run, default settings ---------------------------------------------

e2e_copy_text "on the clipboard before start"
e2e_start_app
e2e_check "quillmark starts and writes its history file" e2e_wait_app_ready
e2e_history_ok "$(count_is 0)" && e2e_pass "starts with an empty history" ||
    e2e_fail "starts with an empty history"

spaced=$'  two leading spaces and a trailing newline\n'
e2e_copy_text "$spaced"
E2E_ARG="$spaced" e2e_wait_history "$(e2e_front_is 1)" \
    "a later copy is recorded exactly, and the text from before start is not"

# Same text again at once: dropped (the app's read of it is the barrier).
e2e_copy_text "duplicate"
E2E_ARG="duplicate" e2e_wait_history "$(e2e_front_is 2)" "a new text is recorded"
e2e_copy_text "duplicate"
e2e_wait_text_read
e2e_copy_text "after the duplicate"
E2E_ARG="after the duplicate" e2e_wait_history "$(e2e_front_is 3)" "the next text is recorded"
e2e_expect_eq "the same text again within 5 s was dropped" 1 "$(e2e_occurrences duplicate)"

# An image owner: asked for its targets, nothing recorded; text after it is.
printf '\x89PNG\r\n\x1a\nnot really an image' >"$E2E_TMP/image.png"
before=$(e2e_history_count)
e2e_own --data image/png "$E2E_TMP/image.png"
e2e_wait_owner_asked TARGETS
e2e_copy_text "after the image"
E2E_ARG="after the image" e2e_wait_history "$(e2e_front_is $((before + 1)))" \
    "an image copy records nothing and a following text copy is recorded"
e2e_check "the image owner was never asked for text" \
    bash -c "! grep -q '^asked text' '$OWNER_LOG'"

# A password manager's copy: the owner marks it secret; never read, never kept.
before=$(e2e_history_count)
e2e_own --text "correct horse battery staple" --secret
e2e_wait_owner_asked x-kde-passwordManagerHint
e2e_copy_text "after the secret"
E2E_ARG="after the secret" e2e_wait_history "$(e2e_front_is $((before + 1)))" \
    "a copy marked secret by its owner is not recorded"
e2e_expect_eq "the secret is nowhere in the history" 0 "$(e2e_occurrences "correct horse battery staple")"
e2e_check "the secret owner was never asked for its text" \
    bash -c "! grep -q '^asked text' '$OWNER_LOG'"
e2e_check "the secret is not in the history file's bytes" \
    bash -c "! grep -q 'battery staple' '$HISTORY_FILE'"

# A big text arrives in pieces (INCR) and is recorded whole.
python3 -c 'import sys; sys.stdout.buffer.write(("line of a big copy with a /path\n" * 110000).encode())' \
    >"$E2E_TMP/big.txt"
before=$(e2e_history_count)
e2e_copy_file "$E2E_TMP/big.txt"
E2E_ARG="$E2E_TMP/big.txt" e2e_wait_history \
    "len(items) == $((before + 1)) and items[0]['content'] == open(arg, encoding='utf-8').read()" \
    "a 3.5 MB copy is recorded exactly" 30

# An owner that stops answering costs the UI nothing: its text is read on a
# thread of its own, and arrives once the owner runs again.
before=$(e2e_history_count)
e2e_check_frozen_owner e2e_own text/plain "from a frozen owner"
e2e_copy_text "after the frozen owner"
E2E_ARG="after the frozen owner" e2e_wait_history "$(e2e_front_is $((before + 2)))" \
    "after a frozen owner the next copy is recorded"

# Owners that quit 100 ms after taking the clipboard: each copy is recorded,
# and Quillmark keeps the clipboard for the apps that paste later.
before=$(e2e_history_count)
recorded=0
for i in $(seq 1 10); do
    e2e_own --text "short-lived $i" --exit-after 100
    if E2E_ARG="short-lived $i" e2e_wait_for "short-lived copy $i" 5 \
        e2e_history_ok "$(e2e_front_is $((before + i)))"; then
        recorded=$((recorded + 1))
    fi
done
e2e_expect_eq "10 owners quitting 100 ms after the copy: 10 recorded" 10 "$recorded"
e2e_wait_for "the last owner to quit" 5 bash -c "! kill -0 $OWNER_PID 2>/dev/null"
e2e_expect_eq "xclip -o still gives the last text after its owner quit" "short-lived 10" \
    "$(timeout 5 xclip -o -selection clipboard 2>/dev/null)"
e2e_history_stays "len(items) == $((before + 10))" "keeping the clipboard records nothing more" 2

stop_and_check_exit "first run"
e2e_screenshot after-first-run

# The file's exact bytes are the codec's and the saving test's checks.
first_run=$(e2e_history_py 'print(json.dumps(items))')

# --- second run: monitoring off, read from the settings file ---------------------

e2e_write_settings '{ "startMonitoringImmediately": false }'
e2e_start_app
e2e_check "quillmark starts with monitoring off" e2e_wait_app_ready
e2e_expect_eq "the history survives a restart" "$first_run" \
    "$(e2e_history_py 'print(json.dumps(items))')"
before=$(e2e_history_count)
e2e_copy_text "not watched"
e2e_history_stays "$(count_is "$before")" \
    "startMonitoringImmediately off: a copy is not recorded" 3
stop_and_check_exit "monitoring-off run"

e2e_finish
