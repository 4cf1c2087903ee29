#!/usr/bin/env bash
# Builds the .deb with cpack, unpacks it into a clean directory and checks
# what it installs: the binary, the desktop entry (desktop-file-validate),
# the metainfo (appstreamcli), the icon and the man page, and the declared
# dependencies.
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

root="$work/root"
check "dpkg-deb unpacks it" dpkg-deb -x "$deb" "$root"
check "the binary is /usr/bin/quillmark" test -x "$root/usr/bin/quillmark"
check "the installed binary answers --version" "$root/usr/bin/quillmark" --version
desktop="$root/usr/share/applications/quillmark.desktop"
check "the desktop entry validates" desktop-file-validate "$desktop"
check "the desktop entry starts quillmark" grep -qx 'Exec=quillmark' "$desktop"
check "the desktop entry names its icon" grep -qx 'Icon=quillmark' "$desktop"
check "the metainfo validates" appstreamcli validate --no-net \
    "$root/usr/share/metainfo/io.github.quillmark.Quillmark.metainfo.xml"
check "the scalable icon is installed" \
    grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/quillmark.svg"
check "the man page is installed" test -s "$root/usr/share/man/man1/quillmark.1"
depends="$(dpkg-deb -f "$deb" Depends)"
for dependency in libqt6widgets6 libqt6gui6 libqt6network6 qt6-qpa-plugins libxcb1 libxcb-keysyms1; do
    check "the package depends on $dependency" grep -q "$dependency" <<<"$depends"
done

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all package checks passed"
