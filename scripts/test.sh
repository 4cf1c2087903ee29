#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Quillmark and runs every test with ctest.
# Optional argument: the CMake preset (default, ci, asan). Under CI the
# default is "ci", which treats warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."

preset="${1:-}"
if [[ -z "$preset" ]]; then
    if [[ "${CI:-}" == "true" ]]; then preset=ci; else preset=default; fi
fi

bash scripts/deps.sh test
installed=$SECONDS
cmake --preset "$preset"
cmake --build --preset "$preset"
echo "Packages took $installed s, configuring and building $((SECONDS - installed)) s."
ctest --preset "$preset" --output-on-failure --no-tests=error
