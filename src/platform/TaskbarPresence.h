// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Whether Quillmark's windows show up in the desktop's taskbar and window
// switcher ("Show Dock Icon"). Off, Quillmark is reachable only through its
// tray icon and hot key.
class TaskbarPresence {
public:
    virtual ~TaskbarPresence() = default;

    // Applies to the windows open now and to every window shown later.
    virtual void setShownInTaskbar(bool shown) = 0;
    [[nodiscard]] virtual bool isShownInTaskbar() const = 0;
};
