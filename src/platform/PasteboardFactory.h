// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <memory>

class SystemPasteboard;

// Chooses, once at start, how Quillmark reaches the clipboard, and prints
// one line naming the way in a Wayland session (where it matters): the
// compositor's data-control protocol when it offers one, else X11 through
// XWayland. Should the Wayland connection be lost later, the pasteboard
// carries on through XWayland and says so.
class PasteboardFactory {
public:
    [[nodiscard]] static std::unique_ptr<SystemPasteboard> create();
};
