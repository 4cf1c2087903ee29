// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "PrivateDirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

QString PrivateDirectory::create(const QString &path)
{
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    // From the top down, so the error is that of the first one missing.
    qsizetype from = 1;
    for (;;) {
        const qsizetype slash = absolute.indexOf(QLatin1Char('/'), from);
        const bool last = slash < 0;
        const QByteArray name = QFile::encodeName(last ? absolute : absolute.left(slash));
        if (::mkdir(name.constData(), last ? S_IRWXU : 0777) != 0 && errno != EEXIST)
            return QStringLiteral("Cannot create the folder \"%1\": %2")
                .arg(QDir::toNativeSeparators(QFile::decodeName(name)),
                     QString::fromLocal8Bit(std::strerror(errno)));
        if (last)
            return {};
        from = slash + 1;
    }
}
