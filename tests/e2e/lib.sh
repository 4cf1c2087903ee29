# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Shared harness of the end-to-end suites: each tests/e2e/test_*.sh sources
# this file and drives the real quillmark binary under its own Xvfb, with
# temporary HOME and XDG directories, then reports PASS/FAIL per check.
#
#   source "$(dirname "$0")/lib.sh"
#   e2e_init "$1"               # $1: the quillmark binary (CTest passes it)
#   e2e_start_xvfb              # then optionally e2e_start_wm, e2e_start_tray
#   e2e_start_app
#   e2e_copy_text "hello"
#   e2e_wait_history 'items and items[0]["content"] == "hello"' "recorded"
#   e2e_finish                  # exit status: 0 only when every check passed
#
# Setup
#   e2e_init BINARY          Makes the temporary tree and exports HOME,
#                            XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_CACHE_HOME,
#                            XDG_RUNTIME_DIR (0700); installs the cleanup trap.
#                            Sets QUILLMARK, E2E_TMP, E2E_ARTIFACTS,
#                            HISTORY_FILE, SETTINGS_FILE, CLIPBOARD_OWNER
#                            (tests/tools/clipboard_owner).
#   e2e_start_xvfb [WxH]     Xvfb -displayfd on a free display, 1280x800x24
#                            unless another size is given, -nolisten tcp;
#                            exports DISPLAY.
#   e2e_start_wm             openbox (optional; returns once it runs).
#   e2e_start_tray           trayer at the top right, 28 px high; returns once
#                            its window is mapped.
#   e2e_write_settings JSON  Writes the settings file (before the app starts).
#   e2e_write_history [--minutes "M..."] TEXT...   Writes a history of TEXTs
#                            (first = newest), 5, 6, ... minutes old unless
#                            --minutes gives each one's age.
#   e2e_track PID            Adds a PID for the cleanup trap to end.
#
# The application
#   e2e_start_app [ARGS]     Starts $QUILLMARK; APP_PID, APP_STDOUT and
#                            APP_STDERR (files, one pair per start).
#   e2e_wait_app_connected   Returns once the app is connected to the display.
#   e2e_wait_app_ready [TIMEOUT]  Returns once the app is up: its history loaded,
#                            the clipboard watched (it answers later launches
#                            on its instance socket from then on).
#   e2e_stop_app [SIGNAL]    Sends SIGNAL (default TERM), waits up to 10 s
#                            (then SIGKILL); the exit status is in APP_STATUS.
#
# The clipboard
#   e2e_copy_text TEXT       Puts TEXT (exact bytes, no newline added) on the
#                            CLIPBOARD with `xclip -quiet` in the background;
#                            returns once xclip owns it. COPY_LOG is its log.
#   e2e_copy_file FILE       The same with the bytes of FILE (big texts).
#   e2e_own ARGS             Starts tests/tools/clipboard_owner with ARGS
#                            (--text T, --secret, --data MIME FILE); returns
#                            once it owns the clipboard. OWNER_LOG logs each
#                            request it serves ("asked <target>").
#   e2e_wait_owner_asked TARGET  Waits until OWNER_LOG shows that request.
#
# Waiting and reading (poll with a timeout; no fixed sleeps)
#   e2e_wait_for DESC TIMEOUT CMD...   Polls CMD every 0.1 s until it
#                            succeeds; returns 1 after TIMEOUT seconds.
#   e2e_history_ok PYEXPR    True when PYEXPR holds; in it `items` is the
#                            history file's array ([] when missing or broken)
#                            and `arg` is $E2E_ARG.
#   e2e_wait_history PYEXPR DESC [TIMEOUT]   Waits for PYEXPR; PASS/FAIL.
#   e2e_history_stays PYEXPR DESC SECONDS    Checks PYEXPR holds for the
#                            whole time (for "nothing is recorded").
#   e2e_history_py CODE      Runs python CODE with `items` loaded; prints.
#   e2e_screenshot NAME [WINDOW]  import of the screen (or of WINDOW) into
#                            E2E_ARTIFACTS/NAME.png.
#
# The popover: popover_window, popover_shown, wait_popover_shown,
# wait_popover_hidden, popover_stays_hidden, popover_position; the tray
# icon: tray_icon_geometry, tray_icon_embedded, click_tray_icon [BUTTON];
# clipboard_text (xclip -o).
#
# Windows (TITLE is an extended regular expression over the window name)
#   e2e_window TITLE         The id of the first visible window so named.
#   e2e_window_shown TITLE / e2e_window_hidden TITLE
#   e2e_is_active ID         True while window ID has the keyboard.
#   e2e_wait_active TITLE    Waits until such a window shows with the keyboard.
#
# Reporting
#   e2e_pass DESC / e2e_fail DESC [DETAIL]
#   e2e_check DESC CMD...    PASS when CMD succeeds.
#   e2e_expect_eq DESC EXPECTED ACTUAL
#   e2e_finish               Prints the summary (and the app's output on
#                            failure) and exits 0 or 1.

set -uo pipefail

# The X tools print window names in the character set of the locale, and in
# the C locale (no LANG) xwininfo leaves out a name it cannot print, such as
# Qt's titles that end in " — Quillmark". The tools always get a UTF-8
# locale; Quillmark itself keeps the caller's. Exported for `bash -c`.
xwininfo() { LC_ALL=C.UTF-8 command xwininfo "$@"; }
xprop() { LC_ALL=C.UTF-8 command xprop "$@"; }
xdotool() { LC_ALL=C.UTF-8 command xdotool "$@"; }
export -f xwininfo xprop xdotool

E2E_PIDS=()
E2E_FAILURES=0
E2E_CHECKS=0
E2E_APP_RUNS=0

e2e_init() {
    QUILLMARK="$(readlink -f "${1:?usage: test_x.sh /path/to/quillmark}")"
    if [[ ! -x "$QUILLMARK" ]]; then
        echo "FAIL: no quillmark binary at $1" >&2
        exit 1
    fi
    local suite
    suite="$(basename "$0" .sh)"
    E2E_TMP="$(mktemp -d "${TMPDIR:-/tmp}/quillmark-e2e.XXXXXX")"
    E2E_ARTIFACTS="${QUILLMARK_BUILD_DIR:-$E2E_TMP}/e2e-artifacts/$suite"
    rm -rf "$E2E_ARTIFACTS"
    mkdir -p "$E2E_ARTIFACTS"
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM

    export HOME="$E2E_TMP/home"
    export XDG_CONFIG_HOME="$HOME/.config"
    export XDG_DATA_HOME="$HOME/.local/share"
    export XDG_CACHE_HOME="$HOME/.cache"
    export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
    mkdir -m 0700 "$XDG_RUNTIME_DIR"
    # The app must find X11 here, never a session of the machine.
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY XDG_SESSION_TYPE DISPLAY

    HISTORY_FILE="$XDG_DATA_HOME/quillmark/ClipboardHistory/clipboard-history.json"
    SETTINGS_FILE="$XDG_CONFIG_HOME/quillmark/settings.json"
    local build_dir="${QUILLMARK_BUILD_DIR:-$(dirname "$QUILLMARK")/../..}"
    CLIPBOARD_OWNER="$build_dir/tests/tools/clipboard_owner"
    echo "suite $suite: temporary tree $E2E_TMP, artifacts $E2E_ARTIFACTS"
}

e2e_track() {
    E2E_PIDS+=("$1")
}

# Still running and still ours: a PID that ended may have been reused.
e2e_is_our_child() {
    [[ "$(ps -o ppid= -p "$1" 2>/dev/null | tr -d ' ')" == "$$" ]]
}

# Waits up to TENTHS tenths of a second for our child PID to end, kills it
# then; returns its exit status.
e2e_reap() {
    local n
    for ((n = 0; n < $2; n++)); do
        e2e_is_our_child "$1" || break
        sleep 0.1
    done
    if e2e_is_our_child "$1"; then
        echo "      (process $1 did not end within $(($2 / 10)) s; killing it)"
        kill -KILL "$1" 2>/dev/null
    fi
    wait "$1" 2>/dev/null
}

e2e_cleanup() {
    local status=$?
    local i
    # Newest first, so Xvfb (started first) goes last.
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        e2e_is_our_child "${E2E_PIDS[i]}" && kill -TERM "${E2E_PIDS[i]}" 2>/dev/null
    done
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        e2e_reap "${E2E_PIDS[i]}" 50 >/dev/null
    done
    [[ -n "${E2E_TMP:-}" && -d "$E2E_TMP" ]] && rm -rf "$E2E_TMP"
    exit "$status"
}

# --- reporting ---------------------------------------------------------------

e2e_pass() {
    E2E_CHECKS=$((E2E_CHECKS + 1))
    echo "PASS: $1"
}

e2e_fail() {
    E2E_CHECKS=$((E2E_CHECKS + 1))
    E2E_FAILURES=$((E2E_FAILURES + 1))
    echo "FAIL: $1"
    if [[ -n "${2:-}" ]]; then
        printf '      %s\n' "$2"
    fi
}

e2e_check() {
    local desc="$1"
    shift
    if "$@"; then e2e_pass "$desc"; else e2e_fail "$desc" "command failed: $*"; fi
}

e2e_expect_eq() {
    if [[ "$2" == "$3" ]]; then
        e2e_pass "$1"
    else
        e2e_fail "$1" "expected [$2], got [$3]"
    fi
}

e2e_finish() {
    if ((E2E_FAILURES > 0)); then
        local f
        for f in "$E2E_TMP"/app.*.stdout "$E2E_TMP"/app.*.stderr; do
            [[ -s "$f" ]] || continue
            echo "----- $(basename "$f")"
            tail -n 40 "$f"
        done
        if [[ -f "$HISTORY_FILE" ]]; then
            echo "----- history file"
            head -c 4000 "$HISTORY_FILE"
            echo
        fi
        echo "$E2E_FAILURES of $E2E_CHECKS checks FAILED"
        exit 1
    fi
    echo "all $E2E_CHECKS checks passed"
    exit 0
}

# --- waiting -----------------------------------------------------------------

e2e_wait_for() {
    local desc="$1" timeout="$2"
    shift 2
    local deadline=$((SECONDS + timeout))
    while true; do
        if "$@"; then return 0; fi
        if ((SECONDS >= deadline)); then
            echo "      (gave up after ${timeout}s waiting for: $desc)"
            return 1
        fi
        sleep 0.1
    done
}

# --- display, window manager, tray --------------------------------------------

e2e_start_xvfb() {
    local displayfile="$E2E_TMP/display"
    : >"$displayfile"
    Xvfb -displayfd 9 -screen 0 "${1:-1280x800}x24" -nolisten tcp -noreset 9>"$displayfile" \
        >"$E2E_TMP/xvfb.log" 2>&1 &
    e2e_track $!
    if ! e2e_wait_for "Xvfb to report its display" 15 grep -q '^[0-9]' "$displayfile"; then
        echo "FAIL: Xvfb did not start"
        cat "$E2E_TMP/xvfb.log"
        exit 1
    fi
    export DISPLAY=":$(head -n 1 "$displayfile")"
    echo "Xvfb on $DISPLAY"
}

e2e_start_wm() {
    openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
    e2e_track $!
    e2e_wait_for "openbox to manage the screen" 10 \
        bash -c 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"'
}

e2e_start_tray() {
    trayer --edge top --align right --widthtype request --height 28 \
        >"$E2E_TMP/trayer.log" 2>&1 &
    e2e_track $!
    e2e_wait_for "trayer to own the tray selection" 10 \
        bash -c 'xwininfo -root -tree 2>/dev/null | grep -q "\"panel\""'
}

e2e_screenshot() {
    import -window "${2:-root}" "$E2E_ARTIFACTS/$1.png" 2>/dev/null ||
        echo "      (screenshot $1 failed)"
}

e2e_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
e2e_window_shown() { [[ -n "$(e2e_window "$1")" ]]; }
e2e_window_hidden() { [[ -z "$(e2e_window "$1")" ]]; }
e2e_is_active() { [[ -n "$1" && "$(xdotool getactivewindow 2>/dev/null)" == "$1" ]]; }
e2e_wait_active() {
    e2e_wait_for "a window titled $1 to show and take the keyboard" 10 \
        bash -c 'w="$(e2e_window "$1")" && e2e_is_active "$w"' _ "$1"
}
export -f e2e_window e2e_is_active

e2e_write_history() {
    local minutes=""
    if [[ "${1:-}" == --minutes ]]; then
        minutes="$2"
        shift 2
    fi
    mkdir -p "$(dirname "$HISTORY_FILE")"
    MINUTES="$minutes" python3 - "$HISTORY_FILE" "$@" <<'PY'
import datetime, json, os, sys, uuid
texts = sys.argv[2:]
ages = [int(m) for m in os.environ["MINUTES"].split()] or range(5, 5 + len(texts))
now = datetime.datetime.now(datetime.timezone.utc).replace(microsecond=0)
items = [{"content": t,
          "createdAt": (now - datetime.timedelta(minutes=m)).strftime("%Y-%m-%dT%H:%M:%SZ"),
          "id": str(uuid.uuid4()).upper()} for t, m in zip(texts, ages)]
with open(sys.argv[1], "w", encoding="utf-8") as f:
    json.dump(items, f, indent=2, sort_keys=True, ensure_ascii=False)
PY
}

e2e_write_settings() {
    mkdir -p "$(dirname "$SETTINGS_FILE")"
    printf '%s\n' "$1" >"$SETTINGS_FILE"
}

# --- the application -----------------------------------------------------------

e2e_start_app() {
    E2E_APP_RUNS=$((E2E_APP_RUNS + 1))
    APP_STDOUT="$E2E_TMP/app.$E2E_APP_RUNS.stdout"
    APP_STDERR="$E2E_TMP/app.$E2E_APP_RUNS.stderr"
    "$QUILLMARK" "$@" >"$APP_STDOUT" 2>"$APP_STDERR" &
    APP_PID=$!
    e2e_track "$APP_PID"
}

e2e_stop_app() {
    kill -"${1:-TERM}" "$APP_PID" 2>/dev/null
    e2e_reap "$APP_PID" 100
    APP_STATUS=$?
}

# Waits until the app has connected to the display (Qt's clipboard window
# for it exists). Qt creates it inside the QApplication constructor; the
# signal handlers follow within microseconds.
e2e_wait_app_connected() {
    e2e_wait_for "quillmark to connect to $DISPLAY" 15 \
        bash -c "xwininfo -root -tree 2>/dev/null | grep -q 'Selection Owner for quillmark'"
}

# Waits until the app started last is up. It listens for later launches
# once it has loaded its history and watches the clipboard, so a connection
# to its socket is accepted only then (one left by an earlier run that was
# killed refuses it). The history file itself is rewritten at start only
# when it is not already in the form Quillmark writes.
e2e_wait_app_ready() {
    e2e_wait_for "quillmark to load its history and listen" "${1:-15}" python3 -c \
        'import socket, sys; socket.socket(socket.AF_UNIX).connect(sys.argv[1])' \
        "$XDG_RUNTIME_DIR/quillmark.socket" 2>/dev/null
}

# --- the clipboard ------------------------------------------------------------

# xclip owning the CLIPBOARD with the bytes of FILE.
e2e_copy_file() {
    E2E_COPIES=$((${E2E_COPIES:-0} + 1))
    COPY_LOG="$E2E_TMP/copy.$E2E_COPIES.log"
    xclip -selection clipboard -quiet -verbose -i "$1" >"$COPY_LOG" 2>&1 &
    e2e_track $!
    e2e_wait_for "xclip to own the clipboard" 10 grep -qs "request number 1" "$COPY_LOG"
}

e2e_copy_text() {
    local file="$E2E_TMP/copy.$((${E2E_COPIES:-0} + 1)).txt"
    printf '%s' "$1" >"$file"
    e2e_copy_file "$file"
}

e2e_own() {
    E2E_COPIES=$((${E2E_COPIES:-0} + 1))
    OWNER_LOG="$E2E_TMP/owner.$E2E_COPIES.log"
    "$CLIPBOARD_OWNER" "$@" >"$OWNER_LOG" 2>"$OWNER_LOG.err" &
    OWNER_PID=$!
    e2e_track "$OWNER_PID"
    e2e_wait_for "clipboard_owner to own the clipboard" 10 grep -qsx "ready" "$OWNER_LOG"
}

e2e_wait_owner_asked() {
    e2e_wait_for "the app to ask the owner for $1" 10 grep -qsx "asked $1" "$OWNER_LOG"
}

# --- the history file -----------------------------------------------------------

e2e_history_py() {
    HISTORY_FILE="$HISTORY_FILE" python3 -c '
import json, os, sys
try:
    with open(os.environ["HISTORY_FILE"], encoding="utf-8") as f:
        items = json.load(f)
    if not isinstance(items, list):
        items = []
except Exception:
    items = []
arg = os.environ.get("E2E_ARG")
'"$1"
}

# An expression about an item the history does not hold yet is false.
e2e_history_ok() {
    e2e_history_py "
try: ok = bool($1)
except (IndexError, KeyError): ok = False
sys.exit(0 if ok else 1)"
}

e2e_wait_history() {
    local expr="$1" desc="$2" timeout="${3:-10}"
    if e2e_wait_for "$desc" "$timeout" e2e_history_ok "$expr"; then
        e2e_pass "$desc"
    else
        e2e_fail "$desc" "history now: $(e2e_history_py 'print([str(i.get("content"))[:60] for i in items][:5])')"
    fi
}

# For the capture suites: the expression "N items, E2E_ARG in front", and
# the number of items.
e2e_front_is() { echo "len(items) == $1 and items[0]['content'] == arg"; }
e2e_history_count() { e2e_history_py 'print(len(items))'; }

e2e_history_stays() {
    local expr="$1" desc="$2" seconds="$3"
    local deadline=$((SECONDS + seconds))
    while ((SECONDS < deadline)); do
        if ! e2e_history_ok "$expr"; then
            e2e_fail "$desc" "history now: $(e2e_history_py 'print([str(i.get("content"))[:60] for i in items][:5])')"
            return
        fi
        sleep 0.2
    done
    e2e_pass "$desc"
}

# --- the popover and the tray icon (trayer's) -------------------------------------

POPOVER_NAME='^Clipboard History'

# The visible popover window id, or nothing.
popover_window() { e2e_window "$POPOVER_NAME"; }
popover_shown() { [[ -n "$(popover_window)" ]]; }
popover_hidden() { [[ -z "$(popover_window)" ]]; }

wait_popover_shown() { e2e_wait_for "the popover to show" 10 popover_shown; }
wait_popover_hidden() { e2e_wait_for "the popover to close" 10 popover_hidden; }

# Checks that the popover stays closed for a while (for "nothing happens").
popover_stays_hidden() {
    local n
    for ((n = 0; n < 10; n++)); do
        popover_shown && return 1
        sleep 0.1
    done
    return 0
}

# "X Y" of the popover's top-left corner.
popover_position() {
    xdotool getwindowgeometry "$(popover_window)" | sed -n 's/ *Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p'
}

# "X Y W H" of our icon inside trayer's panel, or nothing before it is embedded.
tray_icon_geometry() {
    xwininfo -root -tree 2>/dev/null | awk '
        /\("panel" "trayer"\)/ { inpanel = 1; next }
        inpanel && /"quillmark"\)/ {
            split($0, f, " ")
            for (i = 1; i <= length(f); i++) {
                if (f[i] ~ /^[0-9]+x[0-9]+\+/) { split(f[i], s, /[x+]/); w = s[1]; h = s[2] }
                if (f[i] ~ /^\+[0-9]+\+[0-9]+$/) { split(f[i], p, "+"); x = p[2]; y = p[3] }
            }
            if (w > 1 && h > 1) { print x, y, w, h; exit }
        }'
}
tray_icon_embedded() { [[ -n "$(tray_icon_geometry)" ]]; }

click_tray_icon() {
    local x y w h
    read -r x y w h <<<"$(tray_icon_geometry)"
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click "${1:-1}"
}

clipboard_text() { xclip -o -selection clipboard 2>/dev/null; }
