// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "LoginItem.h"

#include <QString>
#include <QStringList>

// Records each registration call; fails with `failure` when it is set.
class FakeLoginItem final : public LoginItem {
public:
    [[nodiscard]] QString registerItem() override
    {
        calls.append(QStringLiteral("register"));
        if (failure.isEmpty())
            registered = true;
        return failure;
    }
    [[nodiscard]] QString unregisterItem() override
    {
        calls.append(QStringLiteral("unregister"));
        if (failure.isEmpty())
            registered = false;
        return failure;
    }
    [[nodiscard]] bool isRegistered() const override { return registered; }

    QStringList calls;
    QString failure;
    bool registered = false;
};
