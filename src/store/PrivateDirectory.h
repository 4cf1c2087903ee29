// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// The history's directory holds everything the user copied: it is made
// private (0700), with any missing parents made as usual. Where it cannot be
// made, the reason is the one worth telling (a read-only file system), not
// the "No such file or directory" of each later attempt to write in it.
class PrivateDirectory {
public:
    // Makes `path` unless something is there already. Returns an empty
    // string on success, otherwise a description naming the directory.
    [[nodiscard]] static QString create(const QString &path);
};
