// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ClipboardItem.h"

#include <QDate>
#include <QDateTime>
#include <QList>

// The local calendar day of instants, in the process's time zone. Turning
// each of a hundred thousand times into local time one by one costs a
// system call each; for a whole list the zone's offset transitions over the
// list's span are looked up once and every item then costs an addition.
class LocalDays {
public:
    [[nodiscard]] static QDate of(const QDateTime &instant);
    // One date per item, in list order.
    [[nodiscard]] static QList<QDate> of(const QList<ClipboardItem> &items);
};
