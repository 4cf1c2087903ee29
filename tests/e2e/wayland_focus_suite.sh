# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The popover takes the keyboard on KWin and on mutter (GNOME), sourced by
# test_wayland_kwin.sh and test_wayland_mutter.sh with QUILLMARK_COMPOSITOR
# set. Neither bare compositor runs commands on keys of its own (Plasma's
# and GNOME's keyboard settings do that), so the suite starts
# `quillmark --toggle` as such a binding would, over a focused native
# Wayland window, and presses keys through the compositor: KWin's
# fake-input protocol, mutter's RemoteDesktop D-Bus interface. Typed text
# must land in the popover's search, Down and Return copy the match back,
# Escape closes it, and the keys then go back to the Wayland window.
source "$(dirname "$0")/wayland_lib.sh"
source "$(dirname "$0")/popover_lib.sh"
# The clipboard as the session's applications see it: KWin offers
# data-control, through which Quillmark writes and wl-paste reads; mutter
# offers none, so there Quillmark writes the X11 clipboard, which mutter
# hands on to Wayland applications.
case "$QUILLMARK_COMPOSITOR" in
kwin)
    KEYS_TOOL=virtual_keyboard
    clipboard_text() { wl_paste; }
    ;;
mutter)
    KEYS_TOOL=remote_desktop_keyboard
    clipboard_text() { timeout 5 xclip -o -selection clipboard 2>/dev/null; }
    ;;
esac
wl_init "$1"

ZEBRA='zebra crossing at dawn'
write_history "first item" "$ZEBRA" "vivid violet"
wl_start_compositor
wl_start_x11_client

wl_start_keyboard "$KEYS_TOOL"
# mutter's headless seat gets its keyboard with the first key pressed.
keys key:shift sleep:300

wl_start_text_window
e2e_check "the Wayland window takes the keyboard" \
    e2e_wait_for "the Wayland window to take the keyboard" 15 grep -qx active "$TEXT_OUT"
keys type:hi
e2e_check "keys reach the focused Wayland window" \
    e2e_wait_for "typed text" 10 grep -qx "text: hi" "$TEXT_OUT"

e2e_start_app
e2e_wait_app_ready

# What the desktop's key binding runs (without an activation token: neither
# bare compositor hands one to a program started from outside).
toggle() { "$QUILLMARK" --toggle >>"$E2E_TMP/toggle.log" 2>&1; }
toggle
e2e_check "--toggle opens the popover over the Wayland window" wait_popover_shown
e2e_check "... and the popover takes the keyboard from it" \
    e2e_wait_for "the Wayland window to lose focus" 10 focus_is inactive
keys type:zebr key:Down key:Return
e2e_check "Return copies the match back and closes the popover" wait_popover_hidden
e2e_expect_eq "the typed text went to the popover's search" "$ZEBRA" "$(clipboard_text)"
e2e_expect_eq "... and not to the Wayland window" "text: hi" "$(typed_text)"
e2e_wait_for "the Wayland window to get the keyboard back" 10 focus_is active

toggle
e2e_check "--toggle opens the popover again" wait_popover_shown
toggle
e2e_check "--toggle again closes it" wait_popover_hidden

toggle
wait_popover_shown
e2e_wait_for "the Wayland window to lose focus" 10 focus_is inactive
keys key:Escape
e2e_check "Escape closes the popover" wait_popover_hidden
e2e_check "the Wayland window gets the keyboard back" \
    e2e_wait_for "the Wayland window to get the keyboard back" 10 focus_is active
keys type:ok
e2e_check "the keys then go back to the Wayland window" \
    e2e_wait_for "typed text" 10 grep -qx "text: hiok" "$TEXT_OUT"

# More checks of the compositor's own, while its session runs.
if declare -F compositor_checks >/dev/null; then
    compositor_checks
fi

e2e_stop_app TERM
e2e_expect_eq "SIGTERM ends quillmark with status 0" 0 "$APP_STATUS"
e2e_finish
