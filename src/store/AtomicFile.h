// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <sys/types.h>

// Whole-file replacement that never leaves a half-written or empty file:
// write aside, flush to disk, then rename over the target. Files are
// created with mode 0600 (they hold what the user copied). A path that is a
// symbolic link (or a chain of them) is followed to its final target, which
// is the file replaced; the links stay. An existing file keeps its mode
// unless it is our own plain file, which is kept at 0600. Anything but a
// regular file at the end of the path (a pipe, a device, a directory) is
// refused.
class AtomicFile {
public:
    // Returns an empty string on success, otherwise a human description.
    [[nodiscard]] static QString write(const QString &path, const QByteArray &data);

    // Writes one piece of the content; false once writing has failed.
    using Put = std::function<bool(QByteArrayView)>;
    // The same, the content made piece by piece: `produce` hands each piece
    // to the function it is given and returns false to give up (the old
    // file then stays as it was).
    [[nodiscard]] static QString write(const QString &path,
                                       const std::function<bool(const Put &)> &produce);

    // Where content goes while it is made: pieces of bytes, and ranges of
    // another open file, copied within the kernel where it can (so a file
    // that is mostly the previous one is not read back through memory).
    class Output {
    public:
        explicit Output(int fd) : m_fd(fd) {}
        [[nodiscard]] bool put(QByteArrayView piece);
        // Fails, among other reasons, when `source` ends before the range.
        [[nodiscard]] bool copy(int source, qint64 offset, qint64 length);
        [[nodiscard]] int error() const { return m_error; }

    private:
        int m_fd;
        int m_error = 0;
    };
    // The same again, with copies. When `kept` is given, a successful write
    // leaves the new file open for reading there (the caller closes it), so
    // the next write can copy from exactly the bytes this one wrote.
    [[nodiscard]] static QString
    write(const QString &path, const std::function<bool(Output &)> &produce, int *kept = nullptr);

    // Deletes the temporary files that writes to `path` cut short by a
    // crash or a kill left beside it (the file itself is always whole).
    static void removeLeftovers(const QString &path);

private:
    struct Target {
        QString path;    // the final target of all links
        mode_t mode = 0; // for the replacement
        QString error;   // why it cannot be written
    };
    [[nodiscard]] static Target resolve(const QString &path);
};
