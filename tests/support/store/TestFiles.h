// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

// File helpers shared by the tests that read and write real files.

// The permission bits of `path`, or -1 when it cannot be examined.
inline int fileMode(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// The bytes of `path`, or "<missing>" when it cannot be opened.
inline QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline bool writeFileContents(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// Puts something that is not a regular file at `path`: "fifo" a named pipe,
// "directory", "null" or "zero" a link to that device, "chain" a link to a
// link to a pipe (both beside `path`). As root the device is a node of the
// test's own beside `path` (a pipe where nodes cannot be made): a fault
// that writes through the link must not replace the system's /dev/null.
inline bool makeSpecialFile(const QString &path, const QString &kind)
{
    const auto fifo = [](const QString &at) {
        return ::mkfifo(QFile::encodeName(at).constData(), 0600) == 0;
    };
    if (kind == QLatin1String("fifo"))
        return fifo(path);
    if (kind == QLatin1String("directory"))
        return QDir().mkdir(path);
    if (kind == QLatin1String("null") || kind == QLatin1String("zero")) {
        QString device = QStringLiteral("/dev/") + kind;
        if (::geteuid() == 0) {
            device = QFileInfo(path).dir().filePath(kind + QStringLiteral("-device"));
            const dev_t number = makedev(1, kind == QLatin1String("null") ? 3 : 5);
            if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, number) != 0 &&
                !fifo(device))
                return false;
        }
        return QFile::link(device, path);
    }
    if (kind == QLatin1String("chain")) {
        const QDir beside = QFileInfo(path).dir();
        return fifo(beside.filePath(QStringLiteral("pipe"))) &&
               QFile::link(beside.filePath(QStringLiteral("pipe")),
                           beside.filePath(QStringLiteral("link2"))) &&
               QFile::link(beside.filePath(QStringLiteral("link2")), path);
    }
    return false;
}
