#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# What the real binary does with hostile or broken surroundings: a second
# Quillmark on the same history, a squatted runtime directory, one enormous
# copy, a flood of idle connections, a wall clock that jumps ahead, relative
# XDG paths and a disk that stays full until the end. Pipes and devices
# where its files should be are the store's and the settings' unit tests'.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb

HISTORY_DIR="$(dirname "$HISTORY_FILE")"

# --- One writer per history --------------------------------------------------
# Two sessions with their own runtime directories share one home.
e2e_start_app
e2e_check "first instance: ready" e2e_wait_app_ready
# What a start with an empty history takes, for the loading check below.
base_kib="$(awk '/^VmHWM/ {print $2}' "/proc/$APP_PID/status")"
e2e_copy_text "from the first session"
e2e_wait_history 'items and items[0]["content"] == "from the first session"' "first instance records"
FIRST_PID=$APP_PID
inode="$(stat -c %i "$HISTORY_FILE")"
mkdir -m 0700 "$E2E_TMP/runtime2"
XDG_RUNTIME_DIR="$E2E_TMP/runtime2" timeout 20 "$QUILLMARK" >"$E2E_TMP/second.out" 2>"$E2E_TMP/second.err"
e2e_expect_eq "second instance on the same history: exit status 1" 1 "$?"
e2e_check "second instance: says why" grep -q "another Quillmark is already using the history" "$E2E_TMP/second.err"
e2e_expect_eq "second instance: the history was not rewritten" "$inode" "$(stat -c %i "$HISTORY_FILE")"
e2e_copy_text "still the first session"
e2e_wait_history 'items and items[0]["content"] == "still the first session"' "first instance keeps recording"

# --- One enormous copy ---------------------------------------------------------
head -c $((200 * 1024 * 1024)) /dev/zero | tr '\0' 'x' >"$E2E_TMP/huge.txt"
e2e_copy_file "$E2E_TMP/huge.txt"
e2e_check "200 MiB copy: refused with one line" e2e_wait_for "the refusal line" 30 \
    grep -qx 'Clipboard text too large to record: 200 MiB (limit 64 MiB)' "$APP_STDOUT"
grep "too large" "$APP_STDOUT" | sed 's/^/      /'
peak_kib="$(awk '/^VmHWM/ {print $2}' "/proc/$APP_PID/status")"
echo "      peak resident memory after the 200 MiB copy: $((peak_kib / 1024)) MiB"
e2e_check "200 MiB copy: peak resident memory under 400 MB" test "$peak_kib" -lt 390625
e2e_history_ok 'not any(len(i["content"]) > 1000 for i in items)' &&
    e2e_pass "200 MiB copy: not recorded" || e2e_fail "200 MiB copy: not recorded"
rm -f "$E2E_TMP/huge.txt"
e2e_copy_text "after the huge one"
e2e_wait_history 'items and items[0]["content"] == "after the huge one"' "a normal copy after it is recorded"
e2e_stop_app TERM

# --- A squatted runtime directory --------------------------------------------
mkdir -p "$E2E_TMP/tmp"
mkdir -m 0777 "$E2E_TMP/tmp/quillmark-$(id -u)"
env -u XDG_RUNTIME_DIR TMPDIR="$E2E_TMP/tmp" timeout 20 "$QUILLMARK" \
    >"$E2E_TMP/squat.out" 2>"$E2E_TMP/squat.err"
e2e_expect_eq "squatted runtime directory: exit status 1" 1 "$?"
e2e_check "squatted runtime directory: says why" \
    grep -q "Refusing to use the runtime directory $E2E_TMP/tmp/quillmark-$(id -u)" "$E2E_TMP/squat.err"

# --- Loading one huge item ----------------------------------------------------
# A history from before the capture limit, one text of 100 MiB: loading it
# needs the text once (2 bytes a character), not the file and several copies.
rm -rf "$HISTORY_DIR"
mkdir -p "$HISTORY_DIR"
python3 - "$HISTORY_FILE" <<'PY'
import sys
with open(sys.argv[1], "w") as f:
    f.write('[\n  {\n    "content" : "' + "y" * (100 * 1024 * 1024) +
            '",\n    "createdAt" : "2099-01-01T00:00:00Z",\n'
            '    "id" : "6F9619FF-8B86-D011-B42D-00C04FC964FF"\n  }\n]')
PY
file_kib=$(($(stat -c %s "$HISTORY_FILE") / 1024))
e2e_start_app
e2e_check "100 MiB item: loads" e2e_wait_app_ready 60
peak_kib="$(awk '/^VmHWM/ {print $2}' "/proc/$APP_PID/status")"
echo "      loading a $((file_kib / 1024)) MiB history: peak $((peak_kib / 1024)) MiB, $(((peak_kib - base_kib) / 1024)) MiB above an empty start"
e2e_check "100 MiB item: loading needs at most 2.5 times the file" \
    test $((peak_kib - base_kib)) -le $((file_kib * 5 / 2))
e2e_history_ok 'len(items) == 1 and len(items[0]["content"]) == 100 * 1024 * 1024' &&
    e2e_pass "100 MiB item: kept whole" || e2e_fail "100 MiB item: kept whole"
e2e_stop_app TERM

# --- A flood of idle connections on the instance socket ----------------------
# More connections than descriptors, each sending one byte and no more: the
# listener must outlive them, and answer once they are gone (a --show with
# nothing running would start a Quillmark of its own and not end).
rm -rf "$HISTORY_DIR"
soft_limit="$(ulimit -S -n)"
ulimit -S -n 256
e2e_start_app
ulimit -S -n "$soft_limit"
e2e_check "flood: ready" e2e_wait_app_ready
held="$(python3 - "$XDG_RUNTIME_DIR/quillmark.socket" <<'PY'
import socket, sys, time
held = []
deadline = time.monotonic() + 6
while len(held) < 400 and time.monotonic() < deadline:
    s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    s.setblocking(False)
    try:
        s.connect(sys.argv[1])
        s.send(b"s")
        held.append(s)
    except OSError:  # the queue is full: later
        s.close()
        time.sleep(0.01)
time.sleep(1)
print(len(held))
PY
)"
echo "      $held idle connections held"
timeout 20 "$QUILLMARK" --show >"$E2E_TMP/flood.out" 2>&1
e2e_expect_eq "flood over: --show is answered" "0" "$?"
e2e_stop_app TERM

# --- The wall clock jumps ahead ------------------------------------------------
# Two days ahead, with a week's retention: items five and six days old stay
# (they go once the clocks have agreed for ten minutes, which the unit tests
# show).
FAKETIME_LIB=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
if ldd "$QUILLMARK" 2>/dev/null | grep -q 'libasan'; then
    # A preloaded library would come before ASan's runtime, which refuses
    # to start then; the plain build runs this check.
    echo "SKIP: clock jump (libfaketime cannot be preloaded into an ASan build)"
elif [[ -r "$FAKETIME_LIB" ]]; then
    rm -rf "$HISTORY_DIR"
    e2e_write_settings '{"retentionPeriod": 7}'
    e2e_write_history --minutes "$((5 * 1440)) $((6 * 1440))" "five days old" "six days old"
    echo "+0" >"$E2E_TMP/faketime"
    LD_PRELOAD="$FAKETIME_LIB" FAKETIME_TIMESTAMP_FILE="$E2E_TMP/faketime" FAKETIME_NO_CACHE=1 \
        DONT_FAKE_MONOTONIC=1 e2e_start_app
    e2e_check "clock jump: ready" e2e_wait_app_ready
    echo "+2d" >"$E2E_TMP/faketime"
    # An idle Quillmark looks at the clocks once a minute; a copy has it
    # look at the next tick.
    e2e_copy_text "after the jump"
    e2e_check "clock jump: seen" e2e_wait_for "the jump" 10 grep -q "clock jumped ahead" "$APP_STDERR"
    e2e_history_stays 'len(items) == 3' "clock jump of two days: nothing pruned" 4
    e2e_stop_app TERM
    rm -f "$SETTINGS_FILE"
else
    e2e_fail "clock jump" "libfaketime is not installed (scripts/deps.sh test installs it)"
fi

# --- Relative XDG directories ---------------------------------------------------
# Invalid by the base directory rules: the defaults under HOME apply, never
# the directory Quillmark was started in.
rm -rf "$HISTORY_DIR"
mkdir -p "$E2E_TMP/cwd"
pushd "$E2E_TMP/cwd" >/dev/null
XDG_DATA_HOME=rel/data XDG_CONFIG_HOME=rel/config e2e_start_app
popd >/dev/null
e2e_check "relative XDG paths: ready" e2e_wait_app_ready
e2e_check "relative XDG paths: the history is under HOME" test -f "$HISTORY_FILE"
e2e_check "relative XDG paths: nothing in the working directory" test ! -e "$E2E_TMP/cwd/rel"

# --- A disk full until the end --------------------------------------------------
# A copy that no save could write is lost at quit, and the exit status tells
# the session (the line that says so is the saving test's).
e2e_copy_text "saved before"
e2e_wait_history 'items and items[0]["content"] == "saved before"' "full disk: a copy saved before"
mv "$HISTORY_DIR" "$HISTORY_DIR.away"
touch "$HISTORY_DIR"
e2e_copy_text "never saved"
e2e_check "full disk: the save fails" e2e_wait_for "the failure line" 10 \
    grep -q "^Failed to save clipboard history: " "$APP_STDOUT"
e2e_stop_app TERM
e2e_expect_eq "full disk at quit: exit status 1" 1 "$APP_STATUS"
rm -f "$HISTORY_DIR"
mv "$HISTORY_DIR.away" "$HISTORY_DIR"

# --- A read-only data directory ---------------------------------------------
# Where the history's folder cannot be made, the messages say why.
if unshare -m true 2>/dev/null; then
    mkdir -p "$E2E_TMP/readonly"
    unshare -m bash -c 'mount -t tmpfs -o ro none "$1" && shift && exec "$@"' _ \
        "$E2E_TMP/readonly" env XDG_DATA_HOME="$E2E_TMP/readonly" "$QUILLMARK" \
        >"$E2E_TMP/readonly.out" 2>"$E2E_TMP/readonly.err" &
    RO_PID=$!
    e2e_track "$RO_PID"
    e2e_check "read-only data directory: the save says why" e2e_wait_for "the failure line" 15 \
        grep -q "^Failed to save clipboard history: .*Read-only file system" "$E2E_TMP/readonly.out"
    e2e_check "read-only data directory: the lock says why" \
        grep -q "^Cannot lock the clipboard history: .*Read-only file system" "$E2E_TMP/readonly.err"
    kill -TERM "$RO_PID"
    wait "$RO_PID"
else
    echo "      (no mount namespace here: the read-only data directory is not tried)"
fi

e2e_finish
