#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The popover opened by `quillmark --toggle` takes the keyboard on headless KWin.
export QUILLMARK_COMPOSITOR=kwin
source "$(dirname "$0")/wayland_focus_suite.sh"
