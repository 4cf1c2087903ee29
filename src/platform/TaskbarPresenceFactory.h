// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <memory>

class TaskbarPresence;

// Chooses the taskbar presence for the running windowing system: X11's
// under xcb, elsewhere one that only remembers the choice. Kept apart from
// the interface, so that the interface does not depend on its back-ends.
class TaskbarPresenceFactory {
public:
    [[nodiscard]] static std::unique_ptr<TaskbarPresence> create();
};
