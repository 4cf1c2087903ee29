#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets (clang) and runs each for a bounded time over a
# copy of its committed seed corpus. Fails on any crash or failed check; the
# crashing input is left as fuzz-artifacts/<target>-crash-<hash>.
# Environment: FUZZ_SECONDS (default 60), FUZZ_MAX_LEN (default 8192).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-60}"
max_len="${FUZZ_MAX_LEN:-8192}"

# target:corpus:dictionary
targets=(
    "fuzz_history_codec:fuzz/corpus/history:fuzz/history.dict"
    "fuzz_settings:fuzz/corpus/settings:fuzz/settings.dict"
    "fuzz_app_request:fuzz/corpus/request:fuzz/request.dict"
    "fuzz_history_writer:fuzz/corpus/history:fuzz/history.dict"
    "fuzz_store_load:fuzz/corpus/history:fuzz/history.dict"
)

# The fuzzers need clang, its sanitizer runtime and simdjson on top of the build packages.
bash scripts/deps.sh run clang-14 libclang-rt-14-dev libsimdjson-dev

names=()
for t in "${targets[@]}"; do names+=("${t%%:*}"); done
cmake --preset fuzz
cmake --build --preset fuzz --target "${names[@]}"

root="$PWD"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
artifacts="$root/fuzz-artifacts"
status=0
for t in "${targets[@]}"; do
    IFS=: read -r name corpus dict <<<"$t"
    mkdir -p "$work/$name"
    cp "$corpus"/* "$work/$name/"
    echo "== $name: ${seconds}s"
    if ! (cd "$work" && "$root/build/fuzz/fuzz/$name" -dict="$root/$dict" \
            -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
            -print_final_stats=1 "$work/$name" 2>"$work/$name.log"); then
        tail -n 60 "$work/$name.log"
        mkdir -p "$artifacts"
        for f in "$work"/crash-* "$work"/timeout-* "$work"/oom-* "$work"/leak-*; do
            [[ -e "$f" ]] && cp "$f" "$artifacts/$name-$(basename "$f")"
        done
        echo "FAILED: $name (inputs in fuzz-artifacts/)"
        status=1
    else
        grep -E '^(Done|stat::number_of_executed_units)' "$work/$name.log" || true
    fi
done
exit "$status"
