#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The capture suite in a Wayland session on headless KWin.
export QUILLMARK_COMPOSITOR=kwin
source "$(dirname "$0")/test_capture.sh"
