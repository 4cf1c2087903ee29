// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ClipboardItem.h"

#include <QDateTime>
#include <QList>
#include <QString>

// A realistic generated history for benchmarks: about 300 bytes an item,
// a mix of URLs, multi-line code and non-ASCII prose, spread over `days`
// days before `now`, newest first.
[[nodiscard]] QList<ClipboardItem> makeSampleHistory(int count, const QDateTime &now,
                                                     int days = 366);

// Writes such a history to `path` in the history-file format.
void writeSampleHistoryFile(const QString &path, int count, const QDateTime &now, int days = 366);
