# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Helpers shared by the tray and hot-key suites (sourced after lib.sh).

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
