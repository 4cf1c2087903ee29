#include "AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
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
    // Replace what a symbolic link points at, not the link itself.
    QString target = path;
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString resolved = info.symLinkTarget();
        if (!resolved.isEmpty())
            target = resolved;
    }

    const QString directory = QFileInfo(target).absolutePath();
    QByteArray temporary = QFile::encodeName(
        directory + QLatin1String("/.") + QFileInfo(target).fileName() + QLatin1String(".XXXXXX"));
    // mkostemp creates the file with mode 0600.
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return describe(QStringLiteral("Cannot create a file in"), directory, errno);

    auto fail = [&](const QString &what, int error) {
        ::close(fd);
        ::unlink(temporary.constData());
        return describe(what, target, error);
    };

    Output out(fd);
    if (!produce(out))
        return fail(QStringLiteral("Cannot write"), out.error() != 0 ? out.error() : ECANCELED);
    if (::fchmod(fd, S_IRUSR | S_IWUSR) != 0)
        return fail(QStringLiteral("Cannot set the permissions of"), errno);
    if (syncRetrying(fd) != 0)
        return fail(QStringLiteral("Cannot flush"), errno);
    // Kept open, the file was still written in full: fsync has reported
    // any error that close would.
    if (!kept && ::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return describe(QStringLiteral("Cannot write"), target, error);
    }
    if (::rename(temporary.constData(), QFile::encodeName(target).constData()) != 0) {
        const int error = errno;
        if (kept)
            ::close(fd);
        ::unlink(temporary.constData());
        return describe(QStringLiteral("Cannot replace"), target, error);
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
    const QFileInfo info(temporaryPrefix(path));
    QDir directory = info.absoluteDir();
    const QStringList names = directory.entryList({info.fileName() + QLatin1String("??????")},
                                                  QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names)
        directory.remove(name);
}
