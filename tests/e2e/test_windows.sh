#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The three windows on a 1366x768 laptop screen under a window manager: the
# history and settings windows open whole (title bar and bottom on the
# screen) and centred, and every theme is photographed for a look by eye,
# with the keyboard's focus on a row and on a toggle, and a Delete question.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 1366x768
e2e_start_wm

# Five items of the last half hour, then one a day for four weeks.
texts=("git log --oneline --graph --decorate" "Meeting moved to Thursday, 10:30 in room 4."
    "https://example.org/docs/getting-started" "SELECT id, name FROM users WHERE active;"
    $'Remember to water the plants\nand feed the cat')
minutes="3 10 17 24 31"
for d in $(seq 1 29); do
    texts+=("notes from day $d")
    minutes+=" $((d * 24 * 60))"
done
e2e_write_history --minutes "$minutes" "${texts[@]}"

# Checks that window $2 lies whole on the 1366x768 screen, frame included,
# and that its centre is the screen's (within the frame's thickness).
fits_centred() {
    local what="$1" wid="$2" left right top bottom X Y WIDTH HEIGHT
    # The client area from xwininfo (xdotool's position is off by the frame
    # under a reparenting window manager).
    read -r X Y WIDTH HEIGHT < <(xwininfo -id "$wid" | awk '
        /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
        /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print x, y, w, h }')
    read -r left right top bottom < <(xprop -id "$wid" _NET_FRAME_EXTENTS |
        sed -n 's/.*= *\([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\).*/\1 \2 \3 \4/p')
    local fx=$((X - left)) fy=$((Y - top)) fw=$((WIDTH + left + right))
    local fh=$((HEIGHT + top + bottom))
    e2e_check "$what: frame ${fw}x${fh}+${fx}+${fy} lies on the 1366x768 screen" \
        test "$fx" -ge 0 -a "$fy" -ge 0 -a $((fx + fw)) -le 1366 -a $((fy + fh)) -le 768
    local dx=$((fx + fw / 2 - 683)) dy=$((fy + fh / 2 - 384))
    e2e_check "$what: centred on the screen" test "${dx#-}" -le 8 -a "${dy#-}" -le 24
}

first=1
QUESTION="^Delete (Today's|All Clipboard) History\?$"
for theme in system light dark auroraBlue auroraEmber auroraGold; do
    e2e_write_settings "{\"themeMode\": \"$theme\", \"accentColorChoice\": \"blue\"}"
    e2e_start_app --show
    e2e_check "$theme: the history window opens" \
        e2e_wait_for "the window" 15 e2e_window_shown '^Quillmark$'
    sleep 0.8
    MAIN="$(e2e_window '^Quillmark$')"
    # Asked for 1200 x 820, it is cut to fit the screen's height.
    ((first)) && fits_centred "history window" "$MAIN"
    e2e_screenshot "history-$theme" "$MAIN"
    if ((first)); then
        # A search that matches nothing: both columns show their empty state.
        xdotool windowactivate --sync "$MAIN" type --delay 20 'zqxj'
        sleep 0.5
        e2e_screenshot history-no-match "$MAIN"
        xdotool key ctrl+a BackSpace
    fi
    # By keyboard: the first row's focus ring.
    xdotool windowactivate --sync "$MAIN" key --delay 60 Tab Tab
    sleep 0.3
    e2e_screenshot "history-keyboard-$theme" "$MAIN"

    "$QUILLMARK" --settings >/dev/null 2>&1
    e2e_check "$theme: the settings window opens" \
        e2e_wait_for "settings" 10 e2e_window_shown '^Settings$'
    sleep 0.8
    SETTINGS="$(e2e_window '^Settings$')"
    ((first)) && fits_centred "settings window" "$SETTINGS"
    e2e_screenshot "settings-$theme" "$SETTINGS"
    # The ring of a focused toggle that is on (Start Monitoring Immediately),
    # then Clear Today's red Delete and the red confirm button it asks with.
    xdotool windowactivate --sync "$SETTINGS" key --delay 60 Tab Tab
    sleep 0.3
    e2e_screenshot "settings-focus-$theme" "$SETTINGS"
    xdotool key --delay 60 Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab space
    e2e_check "$theme: Delete asks first" \
        e2e_wait_for "the question" 5 e2e_window_shown "$QUESTION"
    sleep 0.3
    e2e_screenshot "confirm-$theme"
    xdotool key Escape
    e2e_wait_for "the question to close" 5 e2e_window_hidden "$QUESTION"

    xdotool mousemove 900 200
    "$QUILLMARK" --toggle >/dev/null 2>&1
    e2e_check "$theme: the popover opens" wait_popover_shown
    sleep 0.5
    e2e_screenshot "popover-$theme" "$(popover_window)"
    xdotool key Escape
    wait_popover_hidden

    e2e_stop_app TERM
    first=0
done
e2e_finish
