#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package as the README does (dpkg-buildpackage -us -uc -b,
# in a copy of the source tree so that nothing lands beside it), checks the
# upload with lintian at pedantic level, then what the package holds: the
# binary and its debug symbols, the desktop entry, the metainfo, the icon,
# the man page, the copyright file and the dependencies. Last it installs
# the package with apt and starts the installed Quillmark under Xvfb. That
# changes the system, so it is done only under CI as root (a throwaway
# system); elsewhere apt only simulates the installation and the unpacked
# binary is started instead.
#   test_package.sh SOURCE_DIR BUILD_DIR
# The package is built in BUILD_DIR/package, the same place each time, so
# that a compiler cache finds its objects again.
usage="usage: test_package.sh SOURCE_DIR BUILD_DIR"
source_dir="$(readlink -f "${1:?$usage}")"
build_dir="$(readlink -f "${2:?$usage}")"
source "$source_dir/tests/e2e/lib.sh"
# lib.sh's temporary tree is the package's: the cleanup ends what the test
# started and removes it.
E2E_TMP="$build_dir/package"
HISTORY_FILE=""
work="$E2E_TMP"
rm -rf "$work"
mkdir -p "$work"
trap e2e_cleanup EXIT
# A check that shows the command's output when it fails.
check() {
    local desc="$1"
    shift
    if "$@" >"$work/check.log" 2>&1; then e2e_pass "$desc"; else e2e_fail "$desc"; cat "$work/check.log"; fi
}

# --- build -------------------------------------------------------------------
tree="$work/quillmark"
mkdir "$tree"
# The copy leaves out git's files and every build directory, this one too.
excluded=(--exclude-vcs --exclude=./build --exclude='./build-*' --exclude='./obj-*')
inside="${build_dir#"$source_dir"/}"
[[ "$inside" != "$build_dir" ]] && excluded+=(--exclude="./${inside%%/*}")
tar -C "$source_dir" "${excluded[@]}" -cf - . | tar -C "$tree" -xf -
began=$SECONDS
if ! (cd "$tree" && dpkg-buildpackage -us -uc -b) >"$work/build.log" 2>&1; then
    tail -n 80 "$work/build.log"
    e2e_fail "dpkg-buildpackage -us -uc -b builds the package"
    e2e_finish
fi
e2e_pass "dpkg-buildpackage -us -uc -b builds the package ($((SECONDS - began)) s)"
changes="$(ls "$work"/quillmark_*.changes)"
deb="$(ls "$work"/quillmark_*.deb)"
dbgsym="$(ls "$work"/quillmark-dbgsym_*.deb 2>/dev/null)"
check "the build makes the debug symbols package too" test -f "$dbgsym"

# Errors and warnings fail; the pedantic and informational notes are shown
# so that new ones get noticed.
check "lintian finds no error or warning in the upload" \
    lintian --pedantic --display-info --fail-on error,warning "$changes"
grep -E '^[EWIPX]: ' "$work/check.log"

# --- contents ----------------------------------------------------------------
root="$work/root"
check "dpkg-deb unpacks it" dpkg-deb -x "$deb" "$root"
version="$(dpkg-deb -f "$deb" Version)"
check "the binary says the package's version, and its revision as the build" \
    test "$("$root/usr/bin/quillmark" --version 2>&1)" = \
    "Quillmark ${version%-*} (build ${version##*-})"
build_id="$(readelf -n "$root/usr/bin/quillmark" | awk '/Build ID:/ {print $3}')"
check "the debug symbols package holds the binary's symbols" \
    bash -c "dpkg-deb -c '$dbgsym' | grep -q '/usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug$'"
desktop="$root/usr/share/applications/quillmark.desktop"
check "the desktop entry validates" desktop-file-validate "$desktop"
check "the desktop entry starts quillmark with its icon" \
    bash -c "grep -qx 'Exec=quillmark' '$desktop' && grep -qx 'Icon=quillmark' '$desktop'"
metainfo="$root/usr/share/metainfo/io.github.quillmark.quillmark.metainfo.xml"
check "the metainfo validates at pedantic level" \
    appstreamcli validate --pedantic --no-net --explain "$metainfo"
check "the scalable icon is installed" \
    grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/quillmark.svg"
check "the man page is found and names the shortcut" \
    bash -c "zcat '$root/usr/share/man/man1/quillmark.1.gz' | grep -q 'Alt+Shift+V'"
check "the copyright file is machine-readable" \
    grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    "$root/usr/share/doc/quillmark/copyright"
depends="$(dpkg-deb -f "$deb" Depends)"
for dependency in libqt6widgets6 libqt6gui6 libqt6svg6 libxcb1 libxcb-xfixes0 libwayland-client0; do
    check "the package depends on $dependency" grep -qE "(^|, )$dependency( |,|$)" <<<"$depends"
done

# --- installation and start ----------------------------------------------------
if [[ "${CI:-}" == "true" && $(id -u) -eq 0 ]]; then
    check "apt installs the package" \
        env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$deb"
    binary=/usr/bin/quillmark
else
    check "apt could install the package (simulated)" \
        apt-get install --simulate --reinstall --no-install-recommends "$deb"
    binary="$root/usr/bin/quillmark"
fi

export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
unset XDG_CONFIG_HOME XDG_DATA_HOME WAYLAND_DISPLAY QT_QPA_PLATFORM
mkdir -p "$HOME"
mkdir -m 0700 "$XDG_RUNTIME_DIR"
e2e_start_xvfb
QUILLMARK="$binary" e2e_start_app
check "the installed Quillmark starts and listens" e2e_wait_app_ready 30
e2e_stop_app TERM
check "it ends with status 0 on SIGTERM" test "$APP_STATUS" -eq 0

if [[ "$binary" == /usr/bin/quillmark ]]; then
    check "apt removes it again" \
        env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q quillmark
    check "nothing of it is left in /usr" \
        bash -c "! dpkg -L quillmark >/dev/null 2>&1 && test ! -e /usr/bin/quillmark"
fi
e2e_finish
