#include "AppRequest.h"

#include <array>

namespace {

constexpr std::array actions{AppRequest::Action::reopen};

} // namespace

QString AppRequest::actionName(Action action)
{
    switch (action) {
    case Action::reopen:
        return QStringLiteral("reopen");
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
