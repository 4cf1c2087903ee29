// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "LoginItem.h"

#include <QString>
#include <QStringList>

// Records each registration call; every call succeeds.
class FakeLoginItem final : public LoginItem {
public:
    [[nodiscard]] QString registerItem() override
    {
        calls.append(QStringLiteral("register"));
        registered = true;
        return {};
    }
    [[nodiscard]] QString unregisterItem() override
    {
        calls.append(QStringLiteral("unregister"));
        registered = false;
        return {};
    }
    [[nodiscard]] bool isRegistered() const override { return registered; }

    QStringList calls;
    bool registered = false;
};
