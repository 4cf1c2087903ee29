#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Starting and ending: the display checks before Qt starts, the XWayland
# notice, and a clean exit on SIGINT and SIGTERM.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"

# Without any display Quillmark says so on stderr and ends with status 1.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE \
    "$QUILLMARK" >"$E2E_TMP/nodisplay.out" 2>"$E2E_TMP/nodisplay.err"
e2e_expect_eq "no display: exit status 1" 1 "$?"
e2e_expect_eq "no display: the reason on stderr" \
    "Quillmark needs a graphical session: neither DISPLAY nor WAYLAND_DISPLAY is set." \
    "$(cat "$E2E_TMP/nodisplay.err")"
e2e_expect_eq "no display: nothing on stdout" "" "$(cat "$E2E_TMP/nodisplay.out")"

e2e_start_xvfb
# A tray, so that the app has nothing to say about a missing one.
e2e_start_tray

# An X server that does not answer: a clear line, not Qt's abort.
DISPLAY=":$((${DISPLAY#:} + 1000))" "$QUILLMARK" >"$E2E_TMP/badx.out" 2>"$E2E_TMP/badx.err"
e2e_expect_eq "unreachable X server: exit status 1" 1 "$?"
e2e_check "unreachable X server: the reason on stderr" \
    grep -q "Quillmark cannot open the X display" "$E2E_TMP/badx.err"

# On X11 it ends cleanly on SIGINT too (SIGTERM, with nothing on stdout: the
# capture suite).
e2e_start_app
e2e_check "starts and connects to the display" e2e_wait_app_connected
e2e_stop_app INT
e2e_expect_eq "SIGINT: exit status 0" 0 "$APP_STATUS"

# In a Wayland session it goes through XWayland and says so, once, and says
# how the clipboard, the tray and the shortcut reach it (here no compositor
# behind WAYLAND_DISPLAY, trayer, and no session bus to ask for a shortcut).
WAYLAND_DISPLAY=wayland-e2e e2e_start_app
e2e_check "Wayland session: runs on X11" e2e_wait_app_connected
e2e_wait_app_ready
# A second launch (a key bound to `quillmark --toggle`) only hands its
# request over: the running instance's lines are not its to print.
WAYLAND_DISPLAY=wayland-e2e "$QUILLMARK" --toggle >"$E2E_TMP/toggle.out" 2>&1
e2e_expect_eq "Wayland session: a --toggle launch hands its request over silently" \
    "0 " "$? $(cat "$E2E_TMP/toggle.out")"
e2e_stop_app TERM
e2e_expect_eq "Wayland session: exit status 0" 0 "$APP_STATUS"
e2e_expect_eq "Wayland session: the notice, clipboard, tray and shortcut lines on stdout" \
    "Quillmark uses X11 through XWayland in this Wayland session.
Clipboard: X11 through XWayland (this compositor offers no clipboard access to background apps)
Tray: icon shown in the X11 system tray
Shortcut: Alt+Shift+V reaches Quillmark only while an X11 window has focus (no session bus); \
to open the popover from any window, bind the command \`quillmark --toggle\` to a key in your \
desktop's keyboard settings" "$(cat "$APP_STDOUT")"

e2e_finish
