// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString describe(const QString &path, const QString &why)
{
    return QStringLiteral("Cannot read \"%1\": %2").arg(QDir::toNativeSeparators(path), why);
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("a directory");
    if (S_ISFIFO(mode))
        return QStringLiteral("a pipe");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device");
    return QStringLiteral("not a regular file");
}

} // namespace

QString RegularFile::open(const QString &path, int &fd)
{
    fd = -1;
    const QByteArray name = QFile::encodeName(path);
    // Look before opening: opening a FIFO or a device can already block or
    // act (a tape rewinds, a terminal becomes ours).
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return describe(path, systemError(errno));
    if (!S_ISREG(st.st_mode))
        return describe(path,
                        QStringLiteral("it is %1, not a regular file").arg(kindOf(st.st_mode)));

    // O_NONBLOCK: should the path have been swapped for a FIFO since, the
    // open still returns and the check below refuses it.
    const int opened = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (opened < 0)
        return describe(path, systemError(errno));
    if (::fstat(opened, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(opened);
        return describe(path, QStringLiteral("it is not a regular file"));
    }
    fd = opened;
    return {};
}

QString RegularFile::read(const QString &path, QByteArray &bytes, int *openFile)
{
    int fd = -1;
    if (QString error = open(path, fd); !error.isEmpty())
        return error;
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return describe(path, file.errorString());
    }
    // The file's size is known: one buffer of that size, no regrowth.
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return describe(path, file.errorString());
    if (openFile)
        *openFile = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    return {};
}

void RegularFile::releaseFront(QByteArray &bytes, qsizetype consumed)
{
    const auto page = quintptr(::sysconf(_SC_PAGESIZE));
    // data() detaches: the pages are then this buffer's own, never shared.
    const auto begin = quintptr(bytes.data());
    const quintptr first = (begin + page - 1) & ~(page - 1);
    const quintptr last = (begin + quintptr(std::min(consumed, bytes.size()))) & ~(page - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void *>(first), last - first, MADV_DONTNEED);
}

bool RegularFile::exists(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

QString RegularFile::moveAside(const QString &path, const QDateTime &now)
{
    const QString stem = path + QLatin1String(".corrupt-") +
                         now.toLocalTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = stem;
    for (int n = 2; exists(aside); ++n)
        aside = stem + QLatin1Char('-') + QString::number(n);
    if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) != 0)
        return {};
    return aside;
}
