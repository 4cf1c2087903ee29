#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Time from Alt+Shift+V to the popover painted, on a real X server (Xvfb +
# trayer) with a history of 100,000 items. Reports figures; asserts nothing.
#   bash bench/popover_latency.sh build/default [ROUNDS]
set -uo pipefail
build="$(readlink -f "${1:?usage: popover_latency.sh BUILD_DIR [ROUNDS]}")"
source "$(dirname "$0")/../tests/e2e/lib.sh"
QUILLMARK_BUILD_DIR="$build" e2e_init "$build/src/app/quillmark"

mkdir -p "$(dirname "$HISTORY_FILE")"
python3 - "$HISTORY_FILE" <<'PY'
import datetime, json, sys, uuid
now = datetime.datetime.now(datetime.timezone.utc).replace(microsecond=0)
items = [{"content": f"https://example.com/projects/{i % 997}/issues/{i}?tab=files " + "lorem ipsum " * 20,
          "createdAt": (now - datetime.timedelta(seconds=60 * i)).strftime("%Y-%m-%dT%H:%M:%SZ"),
          "id": str(uuid.UUID(int=i + 1)).upper()} for i in range(100000)]
json.dump(items, open(sys.argv[1], "w"), indent=2, sort_keys=True)
PY
e2e_write_settings '{"retentionPeriod": 366}'
e2e_start_xvfb
e2e_start_tray
e2e_start_app
e2e_wait_app_ready
# The icon embeds after the shortcut is registered.
e2e_wait_for "the tray icon" 30 tray_icon_embedded
"$build/bench/popover_latency" "${2:-15}"
