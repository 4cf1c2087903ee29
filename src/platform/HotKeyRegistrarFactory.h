// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <memory>

class HotKeyRegistrar;

// Chooses the registrar for the platform the application runs on: the X11
// key grab under xcb, otherwise one that explains why there is no shortcut.
// Kept apart from the interface, so that the interface does not depend on
// its back-ends.
class HotKeyRegistrarFactory {
public:
    [[nodiscard]] static std::unique_ptr<HotKeyRegistrar> create();
};
