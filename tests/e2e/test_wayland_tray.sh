#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The tray icon in a Wayland session whose desktop hosts StatusNotifierItems
# (a stand-in host here: no bare compositor has one): Quillmark says it found
# the host, its item carries the tooltip, and activating the item (a left
# click in the host) opens and closes the popover.
source "$(dirname "$0")/wayland_lib.sh"
source "$(dirname "$0")/popover_lib.sh"
wl_init "$1"
command -v dbus-send >/dev/null || { echo "SKIP: dbus-send is not installed"; exit 77; }
wl_start_sway
wl_start_x11_client

WATCHER_OUT="$E2E_TMP/watcher.out"
"$WL_TOOLS/sni_watcher" >"$WATCHER_OUT" 2>&1 &
e2e_track $!
e2e_wait_for "the stand-in host" 10 grep -qx watching "$WATCHER_OUT"

e2e_start_app
e2e_wait_app_ready
e2e_check "the startup names the tray host" e2e_wait_for "the tray line" 10 \
    grep -qx "Tray: icon shown through the desktop's StatusNotifierItem host" "$APP_STDOUT"
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

e2e_stop_app TERM
e2e_expect_eq "SIGTERM ends quillmark with status 0" 0 "$APP_STATUS"
e2e_finish
