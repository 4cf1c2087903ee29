// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>

class QWindow;

// Lets a window that a command-line request opens take the keyboard. A
// desktop that starts `quillmark --toggle` from a key binding hands the new
// process a token (XDG_ACTIVATION_TOKEN on Wayland, DESKTOP_STARTUP_ID on
// X11) that proves the user asked for it; the window manager grants focus
// to a window presenting it, and withholds focus from one that appears
// unasked. The token travels with the request to the running Quillmark.
class WindowActivation {
public:
    // Reads the launch's token and removes both variables, so that programs
    // started from here do not present it again. Call before QApplication
    // exists: Qt's X11 platform would otherwise consume DESKTOP_STARTUP_ID
    // for the first window it maps.
    [[nodiscard]] static QByteArray takeTokenFromEnvironment();

    // Presents `token` for `window` (shown already): on X11, including
    // XWayland, sets the window's startup id, asks the window manager to
    // activate it with the time the token carries, and ends the launch
    // feedback. Does nothing without a token or off X11.
    static void activate(QWindow *window, const QByteArray &token);

    // The X server time in a startup id ("..._TIME12345"), or 0.
    [[nodiscard]] static quint32 timestampOf(const QByteArray &token);
};
