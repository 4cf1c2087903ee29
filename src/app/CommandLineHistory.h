// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ItemText.h"

#include <QByteArray>
#include <QString>

#include <cstdio>

// The history as scripts and launchers see it: --list, --print and the
// check that --copy names an item. These read the history file the way
// Quillmark loads it, whether or not Quillmark runs, and never write, lock
// or move it. Each returns the process's exit status, having printed one
// line to `err` on failure.
class CommandLineHistory {
public:
    // Characters of an item a --list line shows before "…".
    static constexpr int kPreviewCharacters = 200;

    explicit CommandLineHistory(QString historyFilePath);

    // Every item, newest first: "<position>\t<previewLine>\n".
    [[nodiscard]] int list(std::FILE *out, std::FILE *err) const;
    // Item `position`'s text, byte for byte, nothing added.
    [[nodiscard]] int print(qint64 position, std::FILE *out, std::FILE *err) const;
    // 0 when there is an item `position`.
    [[nodiscard]] int check(qint64 position, std::FILE *err) const;

    // `text` on one line of UTF-8: each line break ("\r\n" counts as one),
    // tab or other control character becomes one space, and after
    // kPreviewCharacters characters the rest becomes "…".
    [[nodiscard]] static QByteArray previewLine(const ItemText &text);

private:
    QString m_path;
};
