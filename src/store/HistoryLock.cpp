// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "HistoryLock.h"

#include "PrivateDirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

HistoryLock::HistoryLock(QString historyFilePath) : m_historyFilePath(std::move(historyFilePath)) {}

HistoryLock::~HistoryLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString HistoryLock::lockFilePath() const
{
    return QFileInfo(m_historyFilePath).absolutePath() + QLatin1String("/quillmark.lock");
}

QString HistoryLock::acquire()
{
    if (m_fd >= 0)
        return {};
    const QString directory = QFileInfo(m_historyFilePath).absolutePath();
    if (!QFileInfo::exists(directory)) {
        if (QString error = PrivateDirectory::create(directory); !error.isEmpty())
            return error;
    }
    const QString path = lockFilePath();
    // Never follow a link or block on a pipe someone put there.
    const int fd =
        ::open(QFile::encodeName(path).constData(),
               O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, S_IRUSR | S_IWUSR);
    if (fd < 0)
        return QStringLiteral("cannot open the lock file %1: %2").arg(path, systemError(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return QStringLiteral("the lock file %1 is not a regular file").arg(path);
    }
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int error = errno;
        ::close(fd);
        m_heldElsewhere = error == EWOULDBLOCK;
        if (m_heldElsewhere)
            return QStringLiteral("another Quillmark is already using the history in %1")
                .arg(QDir::toNativeSeparators(directory));
        return QStringLiteral("cannot lock %1: %2").arg(path, systemError(error));
    }
    m_fd = fd;
    return {};
}
