// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AppRequest.h"

#include <array>

namespace {

constexpr std::array actions{AppRequest::Action::reopen,      AppRequest::Action::togglePopover,
                             AppRequest::Action::showHistory, AppRequest::Action::openSettings,
                             AppRequest::Action::quit,        AppRequest::Action::copyItem};

} // namespace

QString AppRequest::actionName(Action action)
{
    switch (action) {
    case Action::reopen:
        return QStringLiteral("reopen");
    case Action::togglePopover:
        return QStringLiteral("toggle");
    case Action::showHistory:
        return QStringLiteral("show");
    case Action::openSettings:
        return QStringLiteral("settings");
    case Action::quit:
        return QStringLiteral("quit");
    case Action::copyItem:
        return QStringLiteral("copy");
    }
    return {};
}

QByteArray AppRequest::encode() const
{
    QByteArray line = actionName(action).toUtf8();
    if (action == Action::copyItem)
        line += ' ' + QByteArray::number(item);
    else if (!activationToken.isEmpty())
        line += ' ' + activationToken.toPercentEncoding();
    return line + '\n';
}

std::optional<AppRequest> AppRequest::decode(const QByteArray &line)
{
    const QByteArray trimmed = line.trimmed();
    const qsizetype space = trimmed.indexOf(' ');
    const QString name = QString::fromUtf8(space < 0 ? trimmed : trimmed.left(space));
    const QByteArray token = space < 0 ? QByteArray() : trimmed.mid(space + 1);
    // A token is one word; anything else on the line is a mistake.
    if (token.contains(' '))
        return std::nullopt;
    for (Action candidate : actions) {
        if (name != actionName(candidate))
            continue;
        if (candidate != Action::copyItem)
            return AppRequest{candidate, QByteArray::fromPercentEncoding(token)};
        bool ok = false;
        const qint64 item = token.toLongLong(&ok);
        if (!ok || item < 1)
            return std::nullopt;
        return AppRequest{candidate, {}, item};
    }
    return std::nullopt;
}
