#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Quillmark in a Wayland session (headless sway with XWayland): it starts on
# XWayland and records a copy made in a Wayland app. The capture suite in
# this session is test_wayland_capture.sh.
source "$(dirname "$0")/wayland_lib.sh"
wl_init "$1"
wl_start_sway

e2e_start_app
e2e_check "quillmark starts in a sway session and writes its history" e2e_wait_app_ready
e2e_check "quillmark reaches the display through XWayland" e2e_wait_app_connected

wl_copy_text "copied in a Wayland app"
E2E_ARG="copied in a Wayland app" e2e_wait_history \
    "len(items) == 1 and items[0]['content'] == arg" "a copy in a Wayland app is recorded"

e2e_stop_app TERM
e2e_expect_eq "SIGTERM ends quillmark with status 0" 0 "$APP_STATUS"
e2e_finish
