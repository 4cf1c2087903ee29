#pragma once

#include "ClipboardItem.h"

#include <QDateTime>
#include <QList>

// A realistic generated history for benchmarks: about 300 bytes an item,
// a mix of URLs, multi-line code and non-ASCII prose, spread over `days`
// days before `now`, newest first.
[[nodiscard]] QList<ClipboardItem> makeSampleHistory(int count, const QDateTime &now,
                                                     int days = 366);
