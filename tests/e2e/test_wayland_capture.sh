#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Capture and copy-back in a Wayland session (headless sway with XWayland;
# KWin through test_wayland_capture_kwin.sh) through the compositor's
# data-control protocol: copies made by native Wayland clients with no X11
# window focused, secrets, owners that quit at once, copy-back seen by
# Wayland clients, a frozen owner and a 20 MB copy.
source "$(dirname "$0")/wayland_lib.sh"
source "$(dirname "$0")/popover_lib.sh"
wl_init "$1"
WAYLAND_OWNER="$WL_TOOLS/wayland_owner"
wl_start_compositor


# tests/tools/wayland_owner with ARGS; returns once it owns the clipboard.
wl_own() { CLIPBOARD_OWNER="$WAYLAND_OWNER" e2e_own "$@"; }
owner_gone() { ! kill -0 "$OWNER_PID" 2>/dev/null; }


suite_start=$SECONDS
wl_copy_text "on the clipboard before start"
e2e_start_app
e2e_check "quillmark starts in the session" e2e_wait_app_ready
e2e_check "it says it uses the Wayland clipboard" \
    e2e_wait_for "the clipboard line" 5 grep -qx "Clipboard: Wayland data-control" "$APP_STDOUT"

# --- copies by a Wayland client, no X11 window anywhere -----------------------
recorded=0
for i in 1 2 3 4 5; do
    before=$(e2e_history_count)
    wl_copy_text "wayland copy $i"
    if E2E_ARG="wayland copy $i" e2e_wait_for "copy $i" 5 e2e_history_ok "$(e2e_front_is $((before + 1)))"; then
        recorded=$((recorded + 1))
    fi
done
e2e_expect_eq "5 of 5 wl-copy copies recorded, none from before start" "5 0" \
    "$recorded $(e2e_occurrences "on the clipboard before start")"
echo "      figure: wl-copy copies recorded on ${QUILLMARK_COMPOSITOR:-sway}: $recorded of 5"

# --- a password manager's copy --------------------------------------------------
before=$(e2e_history_count)
wl_own --text "correct horse battery staple" --secret
e2e_wait_for "the app to ask for the hint" 5 grep -qx "asked x-kde-passwordManagerHint" "$OWNER_LOG"
# The text would be asked for right after the hint; wl_copy_text's own
# wl-paste below may ask for it, so look before.
sleep 0.5
e2e_check "the secret's owner was never asked for its text" \
    bash -c "! grep -q '^asked text' '$OWNER_LOG'"
wl_copy_text "after the secret"
E2E_ARG="after the secret" e2e_wait_history "$(e2e_front_is $((before + 1)))" \
    "a copy marked secret is not recorded; the next one is"

# --- owners that quit 100 ms after the copy ---------------------------------------
kept=0
recorded=0
for i in 1 2 3 4 5; do
    before=$(e2e_history_count)
    wl_own --text "short-lived $i" --exit-after 100
    if E2E_ARG="short-lived $i" e2e_wait_for "short-lived copy $i" 5 \
        e2e_history_ok "$(e2e_front_is $((before + 1)))"; then
        recorded=$((recorded + 1))
    fi
    e2e_wait_for "the owner to quit" 5 owner_gone
    [[ "$(wl_paste)" == "short-lived $i" ]] && kept=$((kept + 1))
done
e2e_expect_eq "owners quitting after 100 ms: 5 of 5 recorded" 5 "$recorded"
e2e_expect_eq "... and wl-paste still gives each text after its owner quit" 5 "$kept"
echo "      figure: short-lived owners on ${QUILLMARK_COMPOSITOR:-sway}: $recorded of 5 recorded, $kept of 5 kept"
e2e_history_stays "len(items) == $(e2e_history_count)" "keeping a text creates no item" 2

wl_own --text "a secret that must vanish" --secret --exit-after 100
e2e_wait_for "the owner to quit" 5 owner_gone
e2e_check "a secret is not kept after its owner quits" \
    bash -c '[[ -z "$(timeout 5 wl-paste --no-newline 2>/dev/null)" ]]'
printf '\x89PNG\r\n\x1a\nnot really an image' >"$E2E_TMP/image.png"
wl_own --data image/png "$E2E_TMP/image.png" --exit-after 100
e2e_wait_for "the owner to quit" 5 owner_gone
e2e_check "an image is not replaced by an old text after its owner quits" \
    bash -c '[[ -z "$(timeout 5 wl-paste --no-newline 2>/dev/null)" ]]'

# --- copy-back reaches Wayland clients ----------------------------------------------
before=$(e2e_history_count)
"$QUILLMARK" --toggle >/dev/null
e2e_check "the popover opens" wait_popover_shown
xdotool type --delay 30 "copy 3"
sleep 0.3
xdotool key Down Return
e2e_check "Enter on the row closes the popover" wait_popover_hidden
e2e_check "wl-paste gives the text copied back" \
    e2e_wait_for "wl-paste to give the copied-back text" 5 \
    bash -c '[[ "$(timeout 5 wl-paste --no-newline 2>/dev/null)" == "wayland copy 3" ]]'
E2E_ARG="wayland copy 3" e2e_wait_history "$(e2e_front_is $((before + 1)))" \
    "the copied-back text comes back once as the newest item"
e2e_history_stays "len(items) == $((before + 1))" "Quillmark's own copy is not read back again" 2
# The same through the command line: a --list line handed to --copy.
"$QUILLMARK" --copy "$("$QUILLMARK" --list | grep -m 1 $'\twayland copy 2$')"
e2e_check "--copy of a --list line reaches wl-paste" e2e_wait_for "wl-paste to give item 'wayland copy 2'" 5 \
    bash -c '[[ "$(timeout 5 wl-paste --no-newline 2>/dev/null)" == "wayland copy 2" ]]'
E2E_ARG="wayland copy 2" e2e_wait_for "the copy to come back as the newest item" 5 \
    e2e_history_ok "items[0]['content'] == arg"

# --- a frozen owner costs the UI nothing ----------------------------------------------
e2e_check_frozen_owner wl_own "text/plain;charset=utf-8" "frozen holder"

# --- a 20 MB copy ---------------------------------------------------------------------
python3 -c 'import sys; sys.stdout.buffer.write(("twenty megabytes of one copy, line after line\n" * 455000).encode())' \
    >"$E2E_TMP/big.txt"
before=$(e2e_history_count)
wl-copy --foreground <"$E2E_TMP/big.txt" >/dev/null 2>&1 &
e2e_track $!
big_ms=$(e2e_request_ms)
echo "      figure: --show answered in ${big_ms} ms during a 20 MB copy"
E2E_ARG="$E2E_TMP/big.txt" e2e_wait_history \
    "len(items) == $((before + 1)) and items[0]['content'] == open(arg, encoding='utf-8').read()" \
    "a 20 MB copy is recorded whole" 60

e2e_stop_app TERM
e2e_expect_eq "SIGTERM ends quillmark with status 0" 0 "$APP_STATUS"
echo "      figure: Wayland capture suite took $((SECONDS - suite_start)) s after ${QUILLMARK_COMPOSITOR:-sway} started"
e2e_finish
