// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "HotKeyRegistrar.h"

// A registrar whose answers the test chooses and whose presses the test makes.
class FakeHotKeyRegistrar final : public HotKeyRegistrar {
    Q_OBJECT
public:
    HotKeyStatus nextInstallStatus;
    HotKeyStatus nextRegisterStatus;

    bool handlerInstalled = false;
    bool registered = false;
    int registerCalls = 0;
    HotKeyId registeredId;

    [[nodiscard]] HotKeyStatus installEventHandler() override
    {
        handlerInstalled = nextInstallStatus.ok();
        return nextInstallStatus;
    }
    void removeEventHandler() override { handlerInstalled = false; }
    [[nodiscard]] HotKeyStatus registerHotKey(Qt::Key, Qt::KeyboardModifiers, HotKeyId id) override
    {
        ++registerCalls;
        registered = nextRegisterStatus.ok();
        registeredId = id;
        return nextRegisterStatus;
    }
    void unregisterHotKey() override { registered = false; }

    // The user pressed a combination registered under `id`.
    void press(HotKeyId id) { Q_EMIT triggered(id); }
};
