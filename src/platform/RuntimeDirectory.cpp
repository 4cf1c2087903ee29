// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RuntimeDirectory.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

QString RuntimeDirectory::whyNotPrivate(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("it is a symbolic link");
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("it is not a directory");
    if (st.st_uid != ::geteuid())
        return QStringLiteral("it belongs to another user (uid %1)").arg(st.st_uid);
    if ((st.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return QStringLiteral("other users can access it (mode %1)")
            .arg(st.st_mode & 07777, 4, 8, QLatin1Char('0'));
    return {};
}

RuntimeDirectory::Result RuntimeDirectory::resolve(const QString &xdgRuntimeDir,
                                                   const QString &temporaryBase)
{
    if (!xdgRuntimeDir.isEmpty() && QDir::isAbsolutePath(xdgRuntimeDir) &&
        whyNotPrivate(xdgRuntimeDir).isEmpty())
        return {xdgRuntimeDir, {}};

    const QString fallback =
        QDir(temporaryBase).filePath(QStringLiteral("quillmark-%1").arg(::geteuid()));
    // mkdir either makes it ours with mode 0700 (the umask can only take
    // bits away) or finds something there already, which must then pass
    // the same test as XDG_RUNTIME_DIR.
    if (::mkdir(QFile::encodeName(fallback).constData(), S_IRWXU) != 0 && errno != EEXIST)
        return {{},
                QStringLiteral("Cannot create the runtime directory %1: %2")
                    .arg(fallback, QString::fromLocal8Bit(std::strerror(errno)))};
    if (const QString why = whyNotPrivate(fallback); !why.isEmpty())
        return {{},
                QStringLiteral("Refusing to use the runtime directory %1: %2").arg(fallback, why)};
    return {fallback, {}};
}

RuntimeDirectory::Result RuntimeDirectory::resolve()
{
    return resolve(qEnvironmentVariable("XDG_RUNTIME_DIR"), QDir::tempPath());
}
