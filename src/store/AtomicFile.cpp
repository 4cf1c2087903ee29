// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString describe(const QString &what, const QString &path, int error)
{
    return QStringLiteral("%1 \"%2\": %3")
        .arg(what, QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(error)));
}

bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// The temporary file sits beside the target, hidden: ".<name>.XXXXXX".
QString temporaryPrefix(const QString &target)
{
    const QFileInfo info(target);
    return info.absolutePath() + QLatin1String("/.") + info.fileName() + QLatin1Char('.');
}

int syncRetrying(int fd)
{
    int rc;
    do {
        rc = ::fsync(fd);
    } while (rc != 0 && errno == EINTR);
    return rc;
}

} // namespace

// Written with plain POSIX calls rather than QSaveFile: we need the data on
// disk (fsync) before the rename, mode 0600 whatever the umask, and the OS's
// own reason in the error text.
QString AtomicFile::write(const QString &path, const QByteArray &data)
{
    return write(path, [&](const Put &put) { return put(data); });
}

QString AtomicFile::write(const QString &path, const std::function<bool(const Put &)> &produce)
{
    return write(path, [&](Output &out) {
        return produce([&out](QByteArrayView piece) { return out.put(piece); });
    });
}

bool AtomicFile::Output::put(QByteArrayView piece)
{
    if (writeAll(m_fd, piece.data(), piece.size()))
        return true;
    m_error = errno;
    return false;
}

bool AtomicFile::Output::copy(int source, qint64 offset, qint64 length)
{
    off_t from = offset;
    while (length > 0) {
        const ssize_t copied = ::copy_file_range(source, &from, m_fd, nullptr, size_t(length), 0);
        if (copied > 0) {
            length -= copied;
            continue;
        }
        if (copied == 0) { // the source is shorter than it should be
            m_error = ENODATA;
            return false;
        }
        if (errno == EINTR)
            continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) {
            m_error = errno;
            return false;
        }
        // No copy in the kernel between these two files: through a buffer.
        QByteArray buffer(qMin<qint64>(length, 1 << 20), Qt::Uninitialized);
        while (length > 0) {
            const ssize_t got =
                ::pread(source, buffer.data(), size_t(qMin<qint64>(length, buffer.size())), from);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                m_error = got == 0 ? ENODATA : errno;
                return false;
            }
            if (!put(QByteArrayView(buffer.constData(), got)))
                return false;
            from += got;
            length -= got;
        }
    }
    return true;
}

QString AtomicFile::write(const QString &path, const std::function<bool(Output &)> &produce,
                          int *kept)
{
    const Target target = resolve(path);
    if (!target.error.isEmpty())
        return target.error;
    const mode_t mode = target.mode;

    const QString directory = QFileInfo(target.path).absolutePath();
    QByteArray temporary =
        QFile::encodeName(temporaryPrefix(target.path) + QLatin1String("XXXXXX"));
    // mkostemp creates the file with mode 0600.
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return describe(QStringLiteral("Cannot create a file in"), directory, errno);

    auto fail = [&](const QString &what, int error) {
        ::close(fd);
        ::unlink(temporary.constData());
        return describe(what, target.path, error);
    };

    Output out(fd);
    if (!produce(out))
        return fail(QStringLiteral("Cannot write"), out.error() != 0 ? out.error() : ECANCELED);
    if (::fchmod(fd, mode) != 0)
        return fail(QStringLiteral("Cannot set the permissions of"), errno);
    if (syncRetrying(fd) != 0)
        return fail(QStringLiteral("Cannot flush"), errno);
    // Kept open, the file was still written in full: fsync has reported
    // any error that close would.
    if (!kept && ::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return describe(QStringLiteral("Cannot write"), target.path, error);
    }
    if (::rename(temporary.constData(), QFile::encodeName(target.path).constData()) != 0) {
        const int error = errno;
        if (kept)
            ::close(fd);
        ::unlink(temporary.constData());
        return describe(QStringLiteral("Cannot replace"), target.path, error);
    }
    if (kept)
        *kept = fd;

    // Make the rename itself durable; a failure here leaves a complete file
    // either way, so it is not reported.
    const int dirFd = ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        syncRetrying(dirFd);
        ::close(dirFd);
    }
    return {};
}

void AtomicFile::removeLeftovers(const QString &path)
{
    const Target target = resolve(path);
    const QFileInfo info(temporaryPrefix(target.error.isEmpty() ? target.path : path));
    QDir directory = info.absoluteDir();
    const QStringList names = directory.entryList({info.fileName() + QLatin1String("??????")},
                                                  QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        // Only what a write of ours leaves: a plain file of this user, 0600.
        // The directory may be shared, and the name alone proves nothing.
        struct stat st {};
        const QByteArray leftover = QFile::encodeName(directory.filePath(name));
        if (::lstat(leftover.constData(), &st) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == ::geteuid() && (st.st_mode & 07777) == (S_IRUSR | S_IWUSR))
            ::unlink(leftover.constData());
    }
}

AtomicFile::Target AtomicFile::resolve(const QString &path)
{
    // Follow every link to the final target, so that the link chain stays as
    // the user made it and the file at its end is the one replaced. A chain
    // that ends nowhere names the file the write creates.
    QString current = QFileInfo(path).absoluteFilePath();
    bool linked = false;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        const QByteArray name = QFile::encodeName(current);
        if (::lstat(name.constData(), &st) != 0) {
            if (errno != ENOENT)
                return {{}, 0, describe(QStringLiteral("Cannot write"), path, errno)};
            // A new file: private.
            return {current, S_IRUSR | S_IWUSR, {}};
        }
        if (S_ISLNK(st.st_mode)) {
            if (hops >= 40)
                return {{}, 0, describe(QStringLiteral("Cannot write"), path, ELOOP)};
            QByteArray link(PATH_MAX, '\0');
            const ssize_t length = ::readlink(name.constData(), link.data(), size_t(link.size()));
            if (length < 0)
                return {{}, 0, describe(QStringLiteral("Cannot write"), path, errno)};
            link.truncate(length);
            current = QDir::cleanPath(
                QFileInfo(current).absoluteDir().absoluteFilePath(QFile::decodeName(link)));
            linked = true;
            continue;
        }
        if (!S_ISREG(st.st_mode))
            return {{},
                    0,
                    QStringLiteral("Cannot write \"%1\": not a regular file")
                        .arg(QDir::toNativeSeparators(path))};
        // Our own plain file is kept private; one reached through a link or
        // belonging to someone else keeps the mode it was given.
        const mode_t mode = !linked && st.st_uid == ::geteuid() ? mode_t(S_IRUSR | S_IWUSR)
                                                                : mode_t(st.st_mode & 07777);
        return {current, mode, {}};
    }
}
