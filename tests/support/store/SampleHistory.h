// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "StoreHarness.h"

// The history the browser's tests start from, in local (Berlin) time, over
// three days; their fixed clock stands at 05/Dec/2026 22:04 local.
inline const QDate kNewest(2026, 12, 5);
inline const QDate kMiddle(2026, 12, 3);
inline const QDate kOldest(2026, 11, 20);

inline QList<ClipboardItem> sampleHistory()
{
    return {
        makeItem(QStringLiteral("  git status\n"), localTime(2026, 12, 5, 21, 30)),
        makeItem(QStringLiteral("Hello World"), localTime(2026, 12, 5, 9, 15)),
        makeItem(QStringLiteral("a unique older snippet"), localTime(2026, 12, 3, 18, 0)),
        makeItem(QStringLiteral("meeting notes"), localTime(2026, 11, 20, 8, 45)),
    };
}
