#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Quillmark's shortcut in a Wayland session, the same checks on every
# compositor (headless sway here; KWin and mutter through
# test_wayland_kwin.sh and test_wayland_mutter.sh): the startup says how
# Alt+Shift+V reaches Quillmark; the shortcut (a compositor binding of
# `quillmark --toggle`, or on KWin Plasma's desktop portal) opens the popover
# over a focused native Wayland window, and the popover takes the keyboard:
# typed text lands in its search, Return copies the match back, Escape closes
# it, the binding again closes it, and the keys then go back to the Wayland
# window. Keys are pressed through the compositor, as a person would press
# them, never sent to a window directly: sway's virtual-keyboard protocol,
# KWin's fake-input protocol, mutter's RemoteDesktop D-Bus interface. And
# the tray icon where the desktop hosts StatusNotifierItems (a stand-in host
# here: no bare compositor has one): Quillmark says it found the host, its
# item carries the tooltip, and activating the item (a left click in the
# host) opens and closes the popover.
source "$(dirname "$0")/wayland_lib.sh"
compositor="${QUILLMARK_COMPOSITOR:-sway}"
# The clipboard as the session's applications see it: sway and KWin offer
# data-control, through which Quillmark writes and wl-paste reads; mutter
# offers none, so there Quillmark writes the X11 clipboard, which mutter
# hands on to Wayland applications.
clipboard_text() { wl_paste; }
if [[ "$compositor" == mutter ]]; then
    clipboard_text() { timeout 5 xclip -o -selection clipboard 2>/dev/null; }
fi
wl_init "$1"

ZEBRA='zebra crossing at dawn'
e2e_write_history "first item" "$ZEBRA" "vivid violet"
# sway runs the binding itself; on KWin, Plasma's desktop portal binds the
# keys. Bare mutter runs no commands on keys of its own (GNOME's keyboard
# settings do that), so there the suite starts `quillmark --toggle` as such a
# binding would (without an activation token: mutter hands none to a program
# started from outside).
toggle() { keys key:alt+shift+v; }
portal=0
if [[ "$compositor" == sway ]]; then
    wl_start_sway "bindsym Mod1+Shift+v exec $QUILLMARK --toggle"
else
    wl_start_compositor
    if [[ "$compositor" == kwin ]] && wl_start_kde_portal; then
        portal=1
    else
        toggle() { "$QUILLMARK" --toggle >>"$E2E_TMP/toggle.log" 2>&1; }
    fi
fi
wl_start_x11_client

wl_start_keyboard
# mutter's headless seat gets its keyboard with the first key pressed.
keys key:shift sleep:500

# An ordinary Wayland application in front, holding the keyboard.
wl_start_text_window
e2e_check "the Wayland window takes the keyboard" \
    e2e_wait_for "the Wayland window to take the keyboard" 15 grep -qx active "$TEXT_OUT"
keys type:hi
e2e_check "keys reach the focused Wayland window" \
    e2e_wait_for "typed text" 10 grep -qx "text: hi" "$TEXT_OUT"

WATCHER_OUT="$E2E_TMP/watcher.out"
"$WL_TOOLS/sni_watcher" >"$WATCHER_OUT" 2>&1 &
e2e_track $!
e2e_wait_for "the stand-in tray host" 10 grep -qx watching "$WATCHER_OUT"

e2e_start_app
e2e_wait_app_ready
e2e_check "the startup names the tray host" e2e_wait_for "the tray line" 10 \
    grep -qx "Tray: icon shown through the desktop's StatusNotifierItem host" "$APP_STDOUT"
# Without a portal the grab serves X11 windows only. (Why not, in brackets,
# is the shortcut manager's test.)
shortcut_line() { grep '^Shortcut: ' "$APP_STDOUT" | sed 's/([^)]*)/(why)/'; }
e2e_check "the startup says how the shortcut reaches Quillmark" \
    e2e_wait_for "the shortcut line" 10 shortcut_line
expected="Shortcut: Alt+Shift+V reaches Quillmark only while an X11 window has focus (why); to \
open the popover from any window, bind the command \`quillmark --toggle\` to a key in your \
desktop's keyboard settings"
((portal)) && expected="Shortcut: Alt+Shift+V through the desktop's global shortcuts (why)"
e2e_expect_eq "... on one line: through the portal, or with the way to bind the command" \
    "$expected" "$(shortcut_line)"

toggle
e2e_check "the binding opens the popover over the Wayland window" wait_popover_shown
e2e_screenshot popover-over-wayland-window
e2e_check "... and takes the keyboard from it" \
    e2e_wait_for "the Wayland window to lose focus" 10 focus_is inactive
keys type:zebr key:Down key:Return
e2e_check "Return copies the match back and closes the popover" wait_popover_hidden
e2e_expect_eq "the typed text went to the popover's search" "$ZEBRA" "$(clipboard_text)"
e2e_expect_eq "... and not to the Wayland window" "text: hi" "$(typed_text)"
e2e_wait_for "the Wayland window to get the keyboard back" 10 focus_is active

toggle
e2e_check "the binding opens the popover again" wait_popover_shown
toggle
e2e_check "the binding again closes it" wait_popover_hidden

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

e2e_check "the icon registers as an item with the host" \
    e2e_wait_for "the item" 10 grep -q '^item ' "$WATCHER_OUT"
read -r _ ITEM_SERVICE ITEM_PATH < <(grep '^item ' "$WATCHER_OUT" | head -n 1)
item_call() {
    dbus-send --session --print-reply --dest="$ITEM_SERVICE" "$ITEM_PATH" "$@" 2>&1
}
e2e_check "the item's tooltip is Clipboard History" \
    bash -c 'grep -q "Clipboard History" <<<"$1"' _ \
    "$(item_call org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierItem string:ToolTip)"
item_call org.kde.StatusNotifierItem.Activate int32:600 int32:10 >/dev/null
e2e_check "activating the item opens the popover" wait_popover_shown
item_call org.kde.StatusNotifierItem.Activate int32:600 int32:10 >/dev/null
e2e_check "activating it again closes the popover" wait_popover_hidden

if [[ "$compositor" == sway ]]; then
    # A launch's activation token travels to the running Quillmark and is
    # presented for the window it opens, which then has the keyboard.
    XDG_ACTIVATION_TOKEN="token-from-the-desktop" "$QUILLMARK" --show
    history_window() { e2e_window '^Quillmark$'; }
    e2e_wait_for "the history window" 10 history_window >/dev/null
    e2e_expect_eq "the window opened by --show carries the launch's token" \
        '_NET_STARTUP_ID(UTF8_STRING) = "token-from-the-desktop"' \
        "$(xprop -id "$(history_window)" _NET_STARTUP_ID)"
    e2e_check "... and the Wayland window gave up the keyboard" \
        e2e_wait_for "the Wayland window to lose focus" 10 focus_is inactive
fi

# More checks of the compositor's own, while its session runs.
if declare -F compositor_checks >/dev/null; then
    compositor_checks
fi

e2e_finish
