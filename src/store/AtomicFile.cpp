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

    int writeError = 0;
    const Put put = [&](QByteArrayView piece) {
        if (writeAll(fd, piece.data(), piece.size()))
            return true;
        writeError = errno;
        return false;
    };
    if (!produce(put))
        return fail(QStringLiteral("Cannot write"), writeError != 0 ? writeError : ECANCELED);
    if (::fchmod(fd, S_IRUSR | S_IWUSR) != 0)
        return fail(QStringLiteral("Cannot set the permissions of"), errno);
    if (syncRetrying(fd) != 0)
        return fail(QStringLiteral("Cannot flush"), errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return describe(QStringLiteral("Cannot write"), target, error);
    }
    if (::rename(temporary.constData(), QFile::encodeName(target).constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return describe(QStringLiteral("Cannot replace"), target, error);
    }

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
