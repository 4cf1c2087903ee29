// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "LocalDays.h"

#include <QTimeZone>

#include <algorithm>
#include <limits>

namespace {

constexpr qint64 kMsecsPerDay = 86'400'000;
constexpr qint64 kJulianDayOfEpoch = 2'440'588; // 1970-01-01

QList<QDate> oneByOne(const QList<ClipboardItem> &items)
{
    QList<QDate> days;
    days.reserve(items.size());
    for (const ClipboardItem &item : items)
        days.append(LocalDays::of(item.createdAt));
    return days;
}

qint64 floorDiv(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

} // namespace

QDate LocalDays::of(const QDateTime &instant)
{
    return instant.toLocalTime().date();
}

QList<QDate> LocalDays::of(const QList<ClipboardItem> &items)
{
    if (items.isEmpty())
        return {};
    qint64 first = std::numeric_limits<qint64>::max();
    qint64 last = std::numeric_limits<qint64>::min();
    qsizetype oldest = 0;
    qsizetype newest = 0;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const qint64 ms = items[i].createdAt.toMSecsSinceEpoch();
        if (ms < first) {
            first = ms;
            oldest = i;
        }
        if (ms > last) {
            last = ms;
            newest = i;
        }
    }

    const QTimeZone zone = QTimeZone::systemTimeZone();
    if (!zone.isValid())
        return oneByOne(items);
    const QDateTime from = QDateTime::fromMSecsSinceEpoch(first - kMsecsPerDay, Qt::UTC);
    const QDateTime to = QDateTime::fromMSecsSinceEpoch(last + kMsecsPerDay, Qt::UTC);
    const QTimeZone::OffsetDataList transitions = zone.transitions(from, to);

    struct Span {
        qint64 startMs;
        qint64 offsetMs;
    };
    QList<Span> spans;
    spans.reserve(transitions.size() + 1);
    spans.append({std::numeric_limits<qint64>::min(), qint64(zone.offsetFromUtc(from)) * 1000});
    for (const QTimeZone::OffsetData &t : transitions)
        spans.append({t.atUtc.toMSecsSinceEpoch(), qint64(t.offsetFromUtc) * 1000});

    // Neighbouring items nearly always share an offset (a list is newest
    // first): the span of the previous item is tried before searching.
    QList<QDate> days(items.size());
    QDate *day = days.data();
    qint64 spanStart = 0;
    qint64 spanEnd = 0; // empty: the first item searches
    qint64 offset = 0;
    for (const ClipboardItem &item : items) {
        const qint64 ms = item.createdAt.toMSecsSinceEpoch();
        if (ms < spanStart || ms >= spanEnd) {
            const auto next =
                std::upper_bound(spans.cbegin(), spans.cend(), ms,
                                 [](qint64 v, const Span &s) { return v < s.startMs; });
            spanStart = std::prev(next)->startMs;
            spanEnd = next == spans.cend() ? std::numeric_limits<qint64>::max() : next->startMs;
            offset = std::prev(next)->offsetMs;
        }
        *day++ = QDate::fromJulianDay(kJulianDayOfEpoch + floorDiv(ms + offset, kMsecsPerDay));
    }

    // The zone database and the C library's local time should agree; if the
    // two ends of the list say otherwise, trust the slow path.
    if (days[oldest] != of(items[oldest].createdAt) || days[newest] != of(items[newest].createdAt))
        return oneByOne(items);
    return days;
}
