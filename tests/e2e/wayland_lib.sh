# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Wayland sessions for the end-to-end suites: a headless sway with XWayland,
# run as an unprivileged user inside its own D-Bus session. Source it instead
# of lib.sh (it sources lib.sh and keeps all of its helpers):
#
#   source "$(dirname "$0")/wayland_lib.sh"
#   wl_init "$1"                # as lib.sh's e2e_init; see below
#   wl_start_sway               # exports WAYLAND_DISPLAY, DISPLAY, SWAYSOCK
#   e2e_start_app
#   wl_copy_text "hello"        # wl-copy, a native Wayland client
#   e2e_wait_history '...' "recorded"
#   e2e_finish
#
# sway refuses to run as root. When the suite starts as root, wl_init runs
# the whole script again as the user nobody (setpriv), inside
# dbus-run-session, and returns that run's exit status; the first run does
# nothing else. An unprivileged caller gets only the D-Bus session. That bus
# starts no services by name (session_bus.conf): only what a suite starts
# answers on it. When the checkout or the build tree is closed to nobody,
# the suites, the binary and tests/tools are copied to a directory it can
# read, and its artifacts are copied back afterwards. Exit status 77 (CTest's "skipped") when sway,
# the compositor QUILLMARK_COMPOSITOR names, Xwayland, wl-clipboard or
# dbus-run-session is missing.
#
#   wl_init BINARY           e2e_init in the unprivileged run. Also sets
#                            WL_TOOLS (tests/tools of the build).
#   wl_start_sway [LINE]...  Starts sway headless (pixman renderer, no input
#                            devices, one 1280x800 output, XWayland on) with
#                            the given extra config lines (bindsym ...);
#                            returns once its IPC socket and Wayland socket
#                            exist. Exports WAYLAND_DISPLAY, DISPLAY and
#                            SWAYSOCK; XDG_SESSION_TYPE=wayland. SWAY_LOG
#                            is sway's log (debug level).
#   wl_start_compositor      wl_start_sway, or the compositor named in
#                            QUILLMARK_COMPOSITOR: sway, kwin (a copy of
#                            kwin_wayland --virtual --xwayland, without the
#                            file capability this container lacks) or mutter
#                            (--headless --virtual-monitor). KWin runs with
#                            KWIN_WAYLAND_NO_PERMISSION_CHECKS=1, which
#                            opens its fake-input protocol to the suites.
#                            KWin's and mutter's PID: WL_COMPOSITOR_PID.
#   wl_start_kde_portal      Starts Plasma's desktop portal (xdg-desktop-portal
#                            and its KDE backend) on the session bus, as a
#                            Plasma session does; under KWin it binds global
#                            shortcuts through KWin's shortcut service.
#                            Returns 1, and says so, when not installed.
#   wl_start_x11_client      Starts one X11 client so XWayland runs (sway
#                            starts it lazily); returns once it answers.
#   wl_copy_text TEXT        wl-copy in the foreground mode; returns once it
#                            owns the selection (wl-paste gives TEXT back).
#   wl_paste                 wl-paste --no-newline of the clipboard, with
#                            a 5 s limit.

# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

WL_USER_ID=65534 # nobody

wl_have_tools() {
    local tool missing=()
    local compositor=sway
    case "${QUILLMARK_COMPOSITOR:-sway}" in
    kwin) compositor=kwin_wayland ;;
    mutter) compositor=mutter ;;
    esac
    for tool in sway "$compositor" Xwayland wl-copy wl-paste swaymsg dbus-run-session setpriv; do
        command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
    done
    if ((${#missing[@]})); then
        echo "SKIP: not installed: ${missing[*]} (bash scripts/deps.sh installs them)"
        return 1
    fi
}

wl_init() {
    local binary
    binary="$(readlink -f "${1:?usage: test_x.sh /path/to/quillmark}")"
    wl_have_tools || exit 77

    if [[ -z "${WL_INNER:-}" ]]; then
        local script
        script="$(readlink -f "$0")"
        local build_dir="${QUILLMARK_BUILD_DIR:-$(dirname "$binary")/../..}"
        build_dir="$(readlink -f "$build_dir")"
        export WL_INNER=1
        if [[ $(id -u) -ne 0 ]]; then
            exec dbus-run-session --config-file="$(dirname "$script")/session_bus.conf" \
                -- bash "$script" "$binary"
        fi
        # Root: hand the run to nobody. It needs a place to write and to
        # execute the binaries from.
        local share
        share="$(mktemp -d "${TMPDIR:-/tmp}/quillmark-wl.XXXXXX")"
        chmod 0755 "$share"
        local suite artifacts
        suite="$(basename "$0" .sh)"
        artifacts="$build_dir/e2e-artifacts/$suite"
        rm -rf "$artifacts"
        mkdir -p "$artifacts"
        chown "$WL_USER_ID:$WL_USER_ID" "$artifacts"
        # A checkout only root can read (/root/...): the suites, the
        # binaries and the artifacts go through the shared directory.
        local staged=0
        if ! setpriv --reuid=$WL_USER_ID --regid=$WL_USER_ID --clear-groups \
            test -x "$binary" -a -r "$build_dir/tests/tools" -a -r "$script" \
            -a -w "$artifacts" 2>/dev/null; then
            staged=1
            mkdir -p "$share/bin/tests" "$share/artifacts"
            cp "$binary" "$share/bin/"
            cp -r "$build_dir/tests/tools" "$share/bin/tests/"
            cp -r "$(dirname "$script")" "$share/e2e"
            chmod -R a+rX "$share/bin" "$share/e2e"
            chown "$WL_USER_ID:$WL_USER_ID" "$share/artifacts"
            binary="$share/bin/$(basename "$binary")"
            script="$share/e2e/$(basename "$script")"
            export WL_BUILD_DIR="$share/bin" WL_ARTIFACTS="$share/artifacts"
        else
            export WL_BUILD_DIR="$build_dir" WL_ARTIFACTS="$artifacts"
        fi
        chown "$WL_USER_ID:$WL_USER_ID" "$share"
        # The caller's temporary directory may be closed to nobody as well.
        local status=0
        (cd "$share" && TMPDIR="$share" setpriv --reuid=$WL_USER_ID --regid=$WL_USER_ID \
            --clear-groups dbus-run-session --config-file="$(dirname "$script")/session_bus.conf" \
            -- bash "$script" "$binary") || status=$?
        if ((staged)); then
            cp -r "$share/artifacts/." "$artifacts/" || true
        fi
        rm -rf "$share"
        exit "$status"
    fi

    # The unprivileged run.
    [[ -n "${WL_BUILD_DIR:-}" ]] && unset QUILLMARK_BUILD_DIR
    e2e_init "$binary"
    if [[ -n "${WL_BUILD_DIR:-}" ]]; then
        CLIPBOARD_OWNER="$WL_BUILD_DIR/tests/tools/clipboard_owner"
        WL_TOOLS="$WL_BUILD_DIR/tests/tools"
    else
        WL_TOOLS="$(dirname "$CLIPBOARD_OWNER")"
    fi
    if [[ -n "${WL_ARTIFACTS:-}" ]]; then
        E2E_ARTIFACTS="$WL_ARTIFACTS"
    fi
}

wl_start_sway() {
    local config="$E2E_TMP/sway.config" line
    {
        echo "xwayland enable"
        echo "output HEADLESS-1 resolution 1280x800"
        for line in "$@"; do echo "$line"; done
    } >"$config"
    SWAY_LOG="$E2E_TMP/sway.log"
    unset WAYLAND_DISPLAY DISPLAY SWAYSOCK
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        sway -d -c "$config" >"$SWAY_LOG" 2>&1 &
    e2e_track $!
    wl_wait_started "sway to open its IPC socket" 15 \
        bash -c 'compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock" >/dev/null'
    SWAYSOCK="$(compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock" | head -n 1)"
    export SWAYSOCK
    # sway tells its clients where it is through their environment.
    local envfile="$E2E_TMP/sway.env"
    swaymsg -s "$SWAYSOCK" exec "env > $envfile.part && mv $envfile.part $envfile" >/dev/null
    wl_wait_started "sway to run a client" 10 test -s "$envfile"
    wl_use_session "$envfile" sway
}

# e2e_wait_for DESC TIMEOUT CMD..., but the suite ends (with the
# compositor's log) when CMD never succeeds.
wl_wait_started() {
    e2e_wait_for "$@" && return
    echo "FAIL: the session did not start"
    tail -n 30 "$SWAY_LOG"
    exit 1
}

# Exports the session's WAYLAND_DISPLAY, DISPLAY and XAUTHORITY (mutter's
# XWayland admits only clients with its cookie) from the environment that
# a client of the compositor wrote to ENVFILE.
wl_use_session() {
    local name value
    for name in WAYLAND_DISPLAY DISPLAY XAUTHORITY; do
        value="$(sed -n "s/^$name=//p" "$1")"
        [[ -n "$value" || "$name" != XAUTHORITY ]] && export "$name=$value"
    done
    export XDG_SESSION_TYPE=wayland
    echo "$2: WAYLAND_DISPLAY=$WAYLAND_DISPLAY DISPLAY=$DISPLAY"
}

wl_start_compositor() {
    case "${QUILLMARK_COMPOSITOR:-sway}" in
    sway) wl_start_sway ;;
    kwin)
        cp "$(command -v kwin_wayland)" "$E2E_TMP/kwin_wayland"
        # Its fake-input protocol (keys pressed by the suites) is offered
        # only without the permission checks.
        KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 wl_start_with_session "$E2E_TMP/kwin_wayland" --virtual --xwayland --no-lockscreen \
            --socket wayland-quillmark --exit-with-session
        ;;
    mutter)
        # No key repeat: on a loaded machine a key's release may come late
        # enough for a Wayland client to type it again.
        mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings"
        printf '[org/gnome/desktop/peripherals/keyboard]\nrepeat=false\n' \
            >"$XDG_CONFIG_HOME/glib-2.0/settings/keyfile"
        GSETTINGS_BACKEND=keyfile wl_start_with_session mutter --headless --wayland \
            --virtual-monitor 1280x800 --wayland-display wayland-quillmark --
        ;;
    *)
        echo "FAIL: unknown QUILLMARK_COMPOSITOR ${QUILLMARK_COMPOSITOR}"
        exit 1
        ;;
    esac
}

# Starts a compositor that runs a session program (the last argument of its
# command line is that program); the program tells the session's environment
# and lives as long as the compositor.
wl_start_with_session() {
    local envfile="$E2E_TMP/session.env" session="$E2E_TMP/session.sh"
    cat >"$session" <<SESSION
#!/usr/bin/env bash
env >"$envfile.part" && mv "$envfile.part" "$envfile"
while kill -0 \$PPID 2>/dev/null; do sleep 0.5; done
SESSION
    chmod +x "$session"
    SWAY_LOG="$E2E_TMP/compositor.log"
    unset WAYLAND_DISPLAY DISPLAY SWAYSOCK
    "$@" "$session" >"$SWAY_LOG" 2>&1 &
    WL_COMPOSITOR_PID=$!
    e2e_track $!
    wl_wait_started "the compositor to start its session" 30 test -s "$envfile"
    wl_use_session "$envfile" "$1"
}

wl_start_kde_portal() {
    local backend
    backend="$(compgen -G '/usr/lib/*/libexec/xdg-desktop-portal-kde' | head -n 1)"
    if [[ -z "$backend" || ! -x /usr/libexec/xdg-desktop-portal ]]; then
        echo "      (xdg-desktop-portal-kde is not installed: bash scripts/deps.sh test installs it)"
        return 1
    fi
    # The bus starts nothing by name: the backend first, then the portal,
    # which looks for it as it starts.
    XDG_CURRENT_DESKTOP=KDE "$backend" >"$E2E_TMP/portal-kde.log" 2>&1 &
    e2e_track $!
    wl_wait_started "the portal's KDE backend" 20 wl_on_bus org.freedesktop.impl.portal.desktop.kde
    XDG_CURRENT_DESKTOP=KDE /usr/libexec/xdg-desktop-portal >"$E2E_TMP/portal.log" 2>&1 &
    e2e_track $!
    wl_wait_started "the desktop portal" 20 wl_on_bus org.freedesktop.portal.Desktop
}
wl_on_bus() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q true
}

# XWayland starts on its first X11 client, which may take a second; a
# client that waits for it (xprop) is the simplest probe.
wl_start_x11_client() {
    e2e_wait_for "XWayland to answer on $DISPLAY" 20 xprop -root _NET_SUPPORTED >/dev/null 2>&1
}

wl_copy_text() {
    E2E_COPIES=$((${E2E_COPIES:-0} + 1))
    COPY_LOG="$E2E_TMP/copy.$E2E_COPIES.log"
    printf '%s' "$1" | wl-copy --foreground >"$COPY_LOG" 2>&1 &
    e2e_track $!
    # (The dot keeps a trailing line break.)
    E2E_ARG="$1." e2e_wait_for "wl-copy to own the clipboard" 10 \
        bash -c '[[ "$(timeout 5 wl-paste --no-newline 2>/dev/null && echo .)" == "$E2E_ARG" ]]'
}

wl_paste() {
    timeout 5 wl-paste --no-newline 2>/dev/null
}

# One keyboard for the whole suite, as a person has: tools/virtual_keyboard
# reads steps on its stdin and presses them through the compositor (the suite
# is skipped when the tool was not built). `keys STEP...` sends each step and
# is done when the tool answers.
wl_start_keyboard() {
    if [[ ! -x "$WL_TOOLS/virtual_keyboard" ]]; then
        echo "SKIP: virtual_keyboard was not built (the Wayland test tools need libwayland-dev and libxkbcommon-dev)"
        exit 77
    fi
    coproc KEYBOARD { "$WL_TOOLS/virtual_keyboard" 2>&1; }
    e2e_track "$KEYBOARD_PID"
}
keys() {
    local step reply
    for step in "$@"; do
        echo "$step" >&"${KEYBOARD[1]}"
        read -r -t 20 reply <&"${KEYBOARD[0]}"
        [[ "$reply" == ok ]] || { echo "      (keyboard: $step: ${reply:-no answer})"; return 1; }
    done
}

# An ordinary Wayland application in front (tools/text_window). It prints
# "active" and "inactive" as it gains and loses the keyboard, and "text: ..."
# as what is typed into it changes; typing waits for a focus change, as a
# person watching would.
wl_start_text_window() {
    TEXT_OUT="$E2E_TMP/text_window.out"
    QT_QPA_PLATFORM=wayland "$WL_TOOLS/text_window" >"$TEXT_OUT" 2>"$E2E_TMP/text_window.err" &
    e2e_track $!
}
focus_is() { [[ "$(grep -x 'active\|inactive' "$TEXT_OUT" | tail -n 1)" == "$1" ]]; }
typed_text() { grep "^text: " "$TEXT_OUT" | tail -n 1; }
