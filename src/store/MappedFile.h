// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The whole of a regular file (see RegularFile), mapped into memory instead
// of read: for a history of tens of megabytes, reading costs a copy and as
// many fresh pages as the file has, which is a good part of starting up.
//
// A mapped file that another program cuts short in place would end the
// process on the next read past its new end. While a MappedFile is mapped,
// such a read gives zeros instead and wasCutShort() turns true: what was
// read is then not the file, and the caller reads it again.
//
// One MappedFile is mapped at a time; another (or a file that cannot be
// mapped, such as an empty one) is read into memory instead, with the same
// result.
class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile &) = delete;
    MappedFile &operator=(const MappedFile &) = delete;

    // Opens and maps `path`. Returns an empty string on success, otherwise
    // RegularFile's description of why not.
    [[nodiscard]] QString open(const QString &path);

    [[nodiscard]] QByteArrayView bytes() const;
    // The memory before `consumed` is given back (see RegularFile).
    void releaseFront(qsizetype consumed);
    [[nodiscard]] bool wasCutShort() const;
    // The open descriptor, now the caller's to close; -1 when not open.
    [[nodiscard]] int takeDescriptor();

private:
    void close();

    int m_fd = -1;
    char *m_map = nullptr;
    qsizetype m_size = 0;
    QByteArray m_read; // when not mapped
};
