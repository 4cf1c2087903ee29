// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What one way into Quillmark asks of the running application. A second
// launch sends one to the first instance; every such request ends up in the
// same handler, whatever it came from.
struct AppRequest {
    enum class Action {
        // Bring the history window back when none of our windows is showing.
        reopen,
        // Open the popover, or close it when it is shown.
        togglePopover,
        // Show the history window and bring it to the front.
        showHistory,
        // Show the settings window and bring it to the front.
        openSettings,
        // End Quillmark, through the same confirmation as Ctrl+Q.
        quit,
        // Put history item `item` back on the clipboard, as a click on it
        // in the popover does.
        copyItem,
    };

    Action action = Action::reopen;
    // What the desktop gave the launch that asked (XDG_ACTIVATION_TOKEN on
    // Wayland, DESKTOP_STARTUP_ID on X11), so that the window the request
    // opens may take the keyboard; empty when it gave none.
    QByteArray activationToken = {};
    // For copyItem: the item's position in the history, 1 for the newest.
    qint64 item = 0;

    // One line of text on the instance socket: the action's name, then the
    // token, percent-encoded, after a space ("toggle 1234%2F5\n"); for
    // copyItem the item's position instead ("copy 3\n"), as no window opens.
    [[nodiscard]] QByteArray encode() const;
    // Nothing for a line that names no known action.
    [[nodiscard]] static std::optional<AppRequest> decode(const QByteArray &line);

    [[nodiscard]] static QString actionName(Action action);

    friend bool operator==(const AppRequest &, const AppRequest &) = default;
};
