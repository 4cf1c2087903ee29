#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The Wayland sources suite on headless mutter.
export QUILLMARK_COMPOSITOR=mutter
source "$(dirname "$0")/test_wayland_sources.sh"
