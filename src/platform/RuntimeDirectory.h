// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Where the single-instance lock and socket live. Whoever can write there
// can keep Quillmark from starting, or take its requests and answer them,
// so the directory must be the user's alone: XDG_RUNTIME_DIR when it is
// owned by the user and closed to others, otherwise a directory of our own
// under the temporary directory, created private. One that already exists
// there but belongs to someone else, or is open to others, is refused
// rather than used or repaired.
class RuntimeDirectory {
public:
    struct Result {
        QString path;  // empty when refused
        QString error; // why, when refused
    };

    // `xdgRuntimeDir` is the value of XDG_RUNTIME_DIR (empty when unset);
    // `temporaryBase` is where the fallback directory is made.
    [[nodiscard]] static Result resolve(const QString &xdgRuntimeDir, const QString &temporaryBase);
    // The same with this process's environment.
    [[nodiscard]] static Result resolve();

    // Empty when `path` is a real directory (not a link), owned by this
    // user and closed to group and others; otherwise the reason it is not.
    [[nodiscard]] static QString whyNotPrivate(const QString &path);
};
