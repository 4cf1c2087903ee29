#include "AppRequest.h"

#include <array>

namespace {

constexpr std::array actions{AppRequest::Action::reopen, AppRequest::Action::togglePopover,
                             AppRequest::Action::showHistory, AppRequest::Action::openSettings,
                             AppRequest::Action::quit};

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
    }
    return {};
}

QByteArray AppRequest::encode() const
{
    return actionName(action).toUtf8() + '\n';
}

std::optional<AppRequest> AppRequest::decode(const QByteArray &line)
{
    const QString name = QString::fromUtf8(line).trimmed();
    for (Action candidate : actions)
        if (name == actionName(candidate))
            return AppRequest{candidate};
    return std::nullopt;
}
