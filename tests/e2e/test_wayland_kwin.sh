#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The Wayland shortcut suite on headless KWin, with Plasma's desktop portal.
export QUILLMARK_COMPOSITOR=kwin
source "$(dirname "$0")/test_wayland_shortcut.sh"
