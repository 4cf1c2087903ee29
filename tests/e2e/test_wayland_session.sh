#!/usr/bin/env bash
# Quillmark in a Wayland session (headless sway with XWayland): it starts,
# says which clipboard path it takes, and records a copy made in an X11 app.
source "$(dirname "$0")/wayland_lib.sh"
wl_init "$1"
wl_start_sway

e2e_start_app
e2e_check "quillmark starts in a sway session and writes its history" e2e_wait_app_ready
e2e_check "quillmark reaches the display through XWayland" e2e_wait_app_connected

e2e_copy_text "copied in an X11 app"
E2E_ARG="copied in an X11 app" e2e_wait_history \
    "len(items) == 1 and items[0]['content'] == arg" "a copy in an X11 app is recorded"

e2e_stop_app TERM
e2e_expect_eq "SIGTERM ends quillmark with status 0" 0 "$APP_STATUS"
e2e_finish
