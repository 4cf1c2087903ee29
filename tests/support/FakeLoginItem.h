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
        return failure;
    }
    [[nodiscard]] QString unregisterItem() override
    {
        calls.append(QStringLiteral("unregister"));
        return failure;
    }

    QStringList calls;
    QString failure;
};
