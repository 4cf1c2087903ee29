#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Quillmark's shortcut in a Wayland session (headless sway): the startup says
# how Alt+Shift+V reaches Quillmark when the desktop has no shortcuts portal;
# a compositor binding of `quillmark --toggle` opens the popover over a
# focused Wayland window, and the popover takes the keyboard: typed text
# lands in its search, Return copies the match back, Escape closes it, the
# binding again closes it, and the keys then go back to the Wayland window.
# Keys are pressed through the compositor (virtual-keyboard protocol), as a
# person would press them, never sent to a window directly.
source "$(dirname "$0")/wayland_lib.sh"
source "$(dirname "$0")/popover_lib.sh"
wl_init "$1"

ZEBRA='zebra crossing at dawn'
write_history "first item" "$ZEBRA" "vivid violet"
wl_start_sway "bindsym Mod1+Shift+v exec $QUILLMARK --toggle"
wl_start_x11_client

wl_start_keyboard virtual_keyboard
keys sleep:500

# An ordinary Wayland application in front, holding the keyboard.
wl_start_text_window
e2e_wait_for "the Wayland window to take the keyboard" 15 grep -qx active "$TEXT_OUT"
keys type:hi
e2e_check "keys reach the focused Wayland window" \
    e2e_wait_for "typed text" 10 grep -qx "text: hi" "$TEXT_OUT"

e2e_start_app
e2e_wait_app_ready
# No portal runs on this private bus: the grab serves X11 windows only.
shortcut_line() { grep '^Shortcut: ' "$APP_STDOUT"; }
e2e_check "the startup says how the shortcut reaches Quillmark" \
    e2e_wait_for "the shortcut line" 10 shortcut_line
e2e_expect_eq "... on one line, with the way to bind the command" \
    "Shortcut: Alt+Shift+V reaches Quillmark only while an X11 window has focus (no desktop \
portal answers); to open the popover from any window, bind the command \`quillmark --toggle\` \
to a key in your desktop's keyboard settings" "$(shortcut_line)"

keys key:alt+shift+v
e2e_check "the binding opens the popover over the Wayland window" wait_popover_shown
e2e_screenshot popover-over-wayland-window 2>/dev/null
e2e_check "... and takes the keyboard from it" \
    e2e_wait_for "the Wayland window to lose focus" 10 focus_is inactive
keys type:zebr key:Down key:Return
e2e_check "Return copies the match back and closes the popover" wait_popover_hidden
# Quillmark writes the clipboard through sway's data-control protocol, so
# Wayland clients (wl-paste) see the copy whatever has focus.
e2e_expect_eq "the typed text went to the popover's search" "$ZEBRA" "$(wl_paste)"
e2e_expect_eq "... and not to the Wayland window" "text: hi" "$(typed_text)"

keys key:alt+shift+v
e2e_check "the binding opens the popover again" wait_popover_shown
keys key:alt+shift+v
e2e_check "the binding again closes it" wait_popover_hidden

keys key:alt+shift+v
wait_popover_shown
keys key:Escape
e2e_check "Escape closes the popover" wait_popover_hidden
e2e_wait_for "the Wayland window to get the keyboard back" 10 focus_is active

keys type:ok
e2e_check "the keys then go back to the Wayland window" \
    e2e_wait_for "typed text" 10 grep -qx "text: hiok" "$TEXT_OUT"

# A launch's activation token travels to the running Quillmark and is
# presented for the window it opens, which then has the keyboard.
XDG_ACTIVATION_TOKEN="token-from-the-desktop" "$QUILLMARK" --show
history_window() { xdotool search --onlyvisible --name '^Quillmark$' 2>/dev/null | head -n 1; }
e2e_wait_for "the history window" 10 history_window >/dev/null
e2e_expect_eq "the window opened by --show carries the launch's token" \
    '_NET_STARTUP_ID(UTF8_STRING) = "token-from-the-desktop"' \
    "$(xprop -id "$(history_window)" _NET_STARTUP_ID)"
e2e_check "... and the Wayland window gave up the keyboard" \
    e2e_wait_for "the Wayland window to lose focus" 10 focus_is inactive

e2e_stop_app TERM
e2e_expect_eq "SIGTERM ends quillmark with status 0" 0 "$APP_STATUS"
e2e_finish
