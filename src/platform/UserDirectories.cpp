// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "UserDirectories.h"

#include <QLoggingCategory>

#include <cerrno>
#include <pwd.h>
#include <unistd.h>
#include <vector>

Q_LOGGING_CATEGORY(lcUserDirectories, "quillmark.platform.directories")

namespace {

bool isAbsolute(const QByteArray &path)
{
    return path.startsWith('/');
}

} // namespace

QString UserDirectories::settle()
{
    return settle(passwordHome());
}

QString UserDirectories::settle(const std::optional<QByteArray> &passwordHome)
{
    if (const QByteArray home = qgetenv("HOME"); !isAbsolute(home)) {
        if (!passwordHome)
            return QStringLiteral("Quillmark cannot find your home directory: HOME is %1 and the "
                                  "password database names none for user %2.")
                .arg(home.isEmpty() ? QStringLiteral("not set")
                                    : QStringLiteral("not an absolute path"))
                .arg(::geteuid());
        qputenv("HOME", *passwordHome);
    }
    for (const char *name :
         {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"}) {
        const QByteArray value = qgetenv(name);
        if (value.isEmpty() || isAbsolute(value))
            continue;
        qCWarning(lcUserDirectories).nospace()
            << "Ignoring " << name << "=" << value.constData() << ": not an absolute path";
        qunsetenv(name);
    }
    return {};
}

std::optional<QByteArray> UserDirectories::passwordHome()
{
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
    passwd entry{};
    passwd *found = nullptr;
    while (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE &&
           buffer.size() < (1u << 20))
        buffer.resize(buffer.size() * 2);
    if (!found || !found->pw_dir || !isAbsolute(QByteArray(found->pw_dir)))
        return std::nullopt;
    return QByteArray(found->pw_dir);
}
