#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the .deb with cpack, checks it with lintian at pedantic level,
# unpacks it into a clean directory and checks what it installs: the binary,
# the desktop entry (desktop-file-validate), the metainfo (appstreamcli),
# the icon and the man page, and the declared dependencies.
#   test_package.sh BUILD_DIR
set -uo pipefail
build_dir="$(readlink -f "${1:?usage: test_package.sh BUILD_DIR}")"
work="$(mktemp -d /tmp/quillmark-package.XXXXXX)"
trap 'rm -rf "$work"' EXIT
failures=0
pass() { echo "PASS: $1"; }
fail() { echo "FAIL: $1"; failures=$((failures + 1)); }
check() { local desc="$1"; shift; if "$@" >"$work/check.log" 2>&1; then pass "$desc"; else fail "$desc"; cat "$work/check.log"; fi; }

if ! (cd "$build_dir" && cpack --config CPackConfig.cmake -B "$work/out") >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    fail "cpack builds the package"
    exit 1
fi
deb="$(ls "$work"/out/*.deb 2>/dev/null | head -n 1)"
[[ -n "$deb" ]] && pass "cpack builds the package" || { fail "cpack builds a .deb"; exit 1; }

# Errors and warnings fail; the pedantic and informational notes are shown
# so that new ones get noticed.
check "lintian finds no error or warning" \
    lintian --pedantic --display-info --fail-on error,warning \
    "$deb"
grep -E '^[EWIPX]: ' "$work/check.log" || true

root="$work/root"
check "dpkg-deb unpacks it" dpkg-deb -x "$deb" "$root"
check "the binary is /usr/bin/quillmark" test -x "$root/usr/bin/quillmark"
version="$("$root/usr/bin/quillmark" --version 2>&1)"
check "the installed binary names its version and build: $version" \
    grep -qE '^Quillmark [0-9]+\.[0-9]+\.[0-9]+ \(build [0-9][0-9.-]*\)$' <<<"$version"
desktop="$root/usr/share/applications/quillmark.desktop"
check "the desktop entry validates" desktop-file-validate "$desktop"
check "the desktop entry starts quillmark" grep -qx 'Exec=quillmark' "$desktop"
check "the desktop entry names its icon" grep -qx 'Icon=quillmark' "$desktop"
metainfo="$root/usr/share/metainfo/io.github.quillmark.quillmark.metainfo.xml"
check "the metainfo validates at pedantic level" \
    appstreamcli validate --pedantic --no-net --explain "$metainfo"
check "the metainfo is found under \"clipboard\"" \
    grep -q '<keyword>clipboard</keyword>' "$metainfo"
check "the scalable icon is installed" \
    grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/quillmark.svg"
check "the man page names the shortcut" \
    bash -c "zcat '$root/usr/share/man/man1/quillmark.1.gz' | grep -q 'Alt+Shift+V'"
check "the copyright file is machine-readable" \
    grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    "$root/usr/share/doc/quillmark/copyright"
depends="$(dpkg-deb -f "$deb" Depends)"
for dependency in libqt6widgets6 libqt6gui6 libqt6network6 libqt6svg6 qt6-qpa-plugins libxcb1 \
    libxcb-keysyms1 libxcb-xfixes0; do
    check "the package depends on $dependency" grep -qE "(^|, )$dependency( |,|$)" <<<"$depends"
done
repeated="$(tr ',' '\n' <<<"$depends" | awk '{print $1}' | sort | uniq -d)"
check "the package names each dependency once${repeated:+ (twice: $repeated)}" test -z "$repeated"

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all package checks passed"
