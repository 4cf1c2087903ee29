// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "HistoryIndex.h"

#include "ClipboardStore.h"
#include "TextMatcher.h"

#include <QElapsedTimer>
#include <QHash>

#include <algorithm>

namespace {

// One slice of background folding: short enough not to delay a keystroke
// or a repaint noticeably.
constexpr qint64 kFoldSliceNanoseconds = 4'000'000;

} // namespace

HistoryIndex::HistoryIndex(ClipboardStore &store, QObject *parent)
    : QObject(parent), m_store(store), m_foldTimer(new QTimer(this))
{
    m_foldTimer->setInterval(0);
    connect(m_foldTimer, &QTimer::timeout, this, &HistoryIndex::foldSlice);
    // Store signals arrive in connection order; the views connect to ours,
    // so they always see an index that has caught up.
    connect(&m_store, &ClipboardStore::itemsInserted, this, [this](int first, int last) {
        insert(first, last);
        Q_EMIT rowsInserted(first, last);
    });
    connect(&m_store, &ClipboardStore::itemsRemoved, this, [this](int first, int last) {
        remove(first, last);
        Q_EMIT rowsRemoved(first, last);
    });
    connect(&m_store, &ClipboardStore::itemsReset, this, [this] {
        rebuild();
        Q_EMIT reset();
    });
    rebuild();
}

QList<QDate> HistoryIndex::days() const
{
    QList<QDate> result;
    result.reserve(m_days.size());
    for (const Day &day : m_days)
        result.append(day.date);
    return result;
}

int HistoryIndex::itemCount(QDate day) const
{
    const int index = findDay(day);
    return index < 0 ? 0 : int(m_days.at(index).ordinals.size());
}

const FoldedQuery &HistoryIndex::needleFor(QByteArrayView query) const
{
    if (m_needle.utf8() != query)
        m_needle = FoldedQuery(query);
    return m_needle;
}

bool HistoryIndex::matches(int row, QByteArrayView query) const
{
    if (query.isEmpty())
        return true;
    if (row >= m_foldedCount)
        ensureFolded();
    return needleFor(query).isIn(m_folded.at(row));
}

void HistoryIndex::Presence::add(const QByteArray &text)
{
    const auto *bytes_ = reinterpret_cast<const uchar *>(text.constData());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        bytes[bytes_[i]] = true;
        if (i + 1 < size)
            pairs[size_t(bytes_[i]) << 8 | bytes_[i + 1]] = true;
    }
}

bool HistoryIndex::Presence::mayContain(QByteArrayView query) const
{
    const auto *q = reinterpret_cast<const uchar *>(query.data());
    if (query.size() == 1)
        return bytes.test(q[0]);
    for (qsizetype i = 0; i + 1 < query.size(); ++i)
        if (!pairs.test(size_t(q[i]) << 8 | q[i + 1]))
            return false;
    return true;
}

bool HistoryIndex::anyMatch(QDate day, QByteArrayView query) const
{
    const int index = findDay(day);
    if (index < 0)
        return false;
    if (query.isEmpty())
        return true;
    ensureFolded();
    const Presence &presence = *m_days.at(index).presence;
    if (!presence.mayContain(query))
        return false;
    if (query.size() == 1)
        return true; // the byte set is exact
    const FoldedQuery &needle = needleFor(query);
    const QList<int> &ordinals = m_days.at(index).ordinals;
    return std::any_of(ordinals.cbegin(), ordinals.cend(),
                       [&](int ordinal) { return needle.isIn(m_folded.at(rowOf(ordinal))); });
}

QList<int> HistoryIndex::matchingRows(QDate day, QByteArrayView query) const
{
    QList<int> rows;
    const int index = findDay(day);
    if (index < 0)
        return rows;
    const QList<int> &ordinals = m_days.at(index).ordinals;
    if (query.isEmpty()) {
        rows.reserve(ordinals.size());
        for (int ordinal : ordinals)
            rows.append(rowOf(ordinal));
        return rows;
    }
    ensureFolded();
    if (!m_days.at(index).presence->mayContain(query))
        return rows;
    const FoldedQuery &needle = needleFor(query);
    for (int ordinal : ordinals) {
        const int row = rowOf(ordinal);
        if (needle.isIn(m_folded.at(row)))
            rows.append(row);
    }
    return rows;
}

int HistoryIndex::findDay(QDate day) const
{
    // Newest first: binary search on a descending list.
    const auto it = std::lower_bound(m_days.cbegin(), m_days.cend(), day,
                                     [](const Day &d, QDate value) { return d.date > value; });
    return it != m_days.cend() && it->date == day ? int(it - m_days.cbegin()) : -1;
}

void HistoryIndex::rebuild()
{
    m_folded = QList<QByteArray>(m_store.items().size());
    m_foldedCount = 0;
    regroup();
    if (isFolded())
        m_foldTimer->stop();
    else
        m_foldTimer->start();
}

void HistoryIndex::foldUntil(qsizetype until) const
{
    const QList<ClipboardItem> &items = m_store.items();
    for (; m_foldedCount < until; ++m_foldedCount) {
        const int row = int(m_foldedCount);
        m_folded[row] = TextMatcher::foldUtf8(items.at(row).content.utf8());
        m_days.at(findDay(m_store.dayOfItem(row))).presence->add(m_folded.at(row));
    }
    if (isFolded())
        m_foldTimer->stop();
}

void HistoryIndex::foldSlice()
{
    QElapsedTimer timer;
    timer.start();
    // Check the clock every few items: most take about a microsecond.
    while (!isFolded() && timer.nsecsElapsed() < kFoldSliceNanoseconds)
        foldUntil(std::min(m_foldedCount + 64, m_folded.size()));
}

void HistoryIndex::regroup()
{
    m_days.clear();
    QHash<QDate, int> dayIndex;
    const int count = int(m_folded.size());
    for (int row = 0; row < count; ++row) {
        const QDate date = m_store.dayOfItem(row);
        int index = -1;
        if (!m_days.isEmpty() && m_days.constLast().date == date) {
            index = int(m_days.size()) - 1;
        } else {
            auto it = dayIndex.constFind(date);
            if (it == dayIndex.constEnd()) {
                m_days.append({date, {}});
                it = dayIndex.insert(date, int(m_days.size()) - 1);
            }
            index = *it;
        }
        m_days[index].ordinals.append(count - 1 - row);
        if (row < m_foldedCount)
            m_days[index].presence->add(m_folded.at(row));
    }
    // A list out of time order (a clock set back) still lists days newest first.
    std::stable_sort(m_days.begin(), m_days.end(),
                     [](const Day &a, const Day &b) { return a.date > b.date; });
}

void HistoryIndex::insert(int first, int last)
{
    const QList<ClipboardItem> &items = m_store.items();
    if (first != 0) {
        // Captures only ever insert at the front; anything else regroups.
        rebuild();
        return;
    }
    for (int row = last; row >= first; --row)
        m_folded.prepend(TextMatcher::foldUtf8(items.at(row).content.utf8()));
    m_foldedCount += last - first + 1;
    const int count = int(m_folded.size());
    for (int row = last; row >= first; --row) {
        const QDate date = m_store.dayOfItem(row);
        const auto it = std::lower_bound(m_days.begin(), m_days.end(), date,
                                         [](const Day &d, QDate value) { return d.date > value; });
        Day &day = (it != m_days.end() && it->date == date) ? *it : *m_days.insert(it, {date, {}});
        day.ordinals.prepend(count - 1 - row);
        day.presence->add(m_folded.at(row));
    }
}

void HistoryIndex::remove(int first, int last)
{
    m_folded.remove(first, last - first + 1);
    m_foldedCount -= std::max<qsizetype>(0, std::min<qsizetype>(last + 1, m_foldedCount) - first);
    regroup();
}
