#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The Wayland shortcut suite on headless mutter (GNOME); and as mutter
# offers no data-control, the clipboard goes through XWayland: X11 copies
# are recorded, also from apps that quit at once, which mutter keeps the
# clipboard for as Quillmark does, secrets included (also of owners that
# quit before Quillmark asked them anything; one seen before it quit is the
# sources suite's).
export QUILLMARK_COMPOSITOR=mutter

compositor_checks() {
    e2e_check "it says the clipboard goes through XWayland" grep -qx \
        "Clipboard: X11 through XWayland (this compositor offers no clipboard access to background apps)" \
        "$APP_STDOUT"
    # Every copy counts from here: a copy handed on must not come twice.
    e2e_stop_app TERM
    e2e_write_settings '{ "captureMode": "recordEveryCopy" }'
    e2e_start_app
    e2e_wait_app_ready
    local start i recorded=0 kept=0
    start=$(e2e_history_count)
    e2e_copy_text "an X11 copy"
    E2E_ARG="an X11 copy" e2e_wait_history "$(e2e_front_is $((start + 1)))" "an X11 copy is recorded"

    # The owners are X11 clients, as Qt would make them on Wayland otherwise.
    for i in 1 2 3 4 5; do
        QT_QPA_PLATFORM=xcb e2e_own --text "short-lived $i" --exit-after 100
        E2E_ARG="short-lived $i" e2e_wait_for "short-lived copy $i" 5 \
            e2e_history_ok "items[0]['content'] == arg" && recorded=$((recorded + 1))
        e2e_wait_for "the owner to quit" 5 bash -c "! kill -0 $OWNER_PID 2>/dev/null"
        [[ "$(clipboard_text)" == "short-lived $i" ]] && kept=$((kept + 1))
    done
    echo "      figure: short-lived X11 owners on mutter: $recorded of 5 recorded, $kept of 5 kept"
    e2e_expect_eq "X11 owners quitting after 100 ms: 5 of 5 recorded" 5 "$recorded"
    e2e_expect_eq "... and X11 apps still paste each text after its owner quit" 5 "$kept"
    e2e_history_stays "len(items) == $((start + 6)) and [i['content'] for i in items[:5]] == \
['short-lived %d' % n for n in range(5, 0, -1)]" "each once, however mutter and Quillmark keep it" 2

    # Password managers that quit 100 ms after copying, five while Quillmark
    # runs and five while it is stopped, as on a machine too busy to run it
    # in time: then it hears of such an owner only once mutter has taken its
    # copy over, without the mark.
    for i in 1 2 3 4 5 6 7 8 9 10; do
        if ((i > 5)); then kill -STOP "$APP_PID"; fi
        QT_QPA_PLATFORM=xcb e2e_own --text "secret $i" --secret --exit-after 100
        e2e_wait_for "secret owner $i to quit" 5 bash -c "! kill -0 $OWNER_PID 2>/dev/null"
        sleep 0.2
        kill -CONT "$APP_PID"
        sleep 0.3
    done
    e2e_copy_text "after the secrets"
    E2E_ARG="after the secrets" e2e_wait_history "items[0]['content'] == arg" \
        "a copy after the secrets is recorded"
    echo "      figure: secrets recorded on mutter: $(e2e_history_py \
        "print(sum(i['content'].startswith('secret ') for i in items))") of 10"
    e2e_history_stays "len(items) == $((start + 7)) and \
not any(i['content'].startswith('secret ') for i in items)" \
        "secrets whose owners quit after 100 ms are not recorded either" 1
}

source "$(dirname "$0")/test_wayland_shortcut.sh"
