// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Reading the user's own files (history, settings, backups) without being
// led astray by what else can sit at a path: a FIFO would block the reader
// for ever, a device such as /dev/zero would feed it without end, a
// directory or socket cannot be read at all. Only a regular file is opened
// for reading, after following any symbolic links to their final target.
class RegularFile {
public:
    // Reads the whole of `path` into `bytes`. Returns an empty string on
    // success, otherwise a human description ("... is not a regular file").
    // A missing file is an error too; ask exists() first where that matters.
    // With `openFile`, the file also stays open and its descriptor is handed
    // over (the caller closes it): what is read from it later is the file
    // that was read, whatever has since been put at the path.
    [[nodiscard]] static QString read(const QString &path, QByteArray &bytes,
                                      int *openFile = nullptr);

    // Opens `path` for reading after the same checks; on success `fd` is
    // the caller's to close.
    [[nodiscard]] static QString open(const QString &path, int &fd);

    // Gives the memory of `bytes` before `consumed` back to the system (the
    // whole pages among them, which then read as zeros): for a big file read
    // whole and then decoded front to back, so that the file and what is
    // decoded from it are not held in full at the same time.
    static void releaseFront(QByteArray &bytes, qsizetype consumed);

    // True when something (a file, a link, even a dangling one) is at `path`.
    [[nodiscard]] static bool exists(const QString &path);

    // Renames `path` to "<path>.corrupt-<yyyyMMdd-HHmmss>" (with "-2", "-3"
    // ... when taken), so a fresh file can take its place and the old one is
    // kept for the user. A link is moved, not what it points to. Returns the
    // new path, or an empty string when the rename failed.
    [[nodiscard]] static QString moveAside(const QString &path, const QDateTime &now);
};
