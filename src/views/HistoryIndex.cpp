#include "HistoryIndex.h"

#include "ClipboardStore.h"

#include <QHash>

#include <algorithm>
#include <cstring>

namespace {

QByteArray lowered(const QString &content)
{
    return content.toLower().toUtf8();
}

} // namespace

HistoryIndex::HistoryIndex(ClipboardStore &store, QObject *parent) : QObject(parent), m_store(store)
{
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

QList<int> HistoryIndex::rowsOfDay(QDate day) const
{
    QList<int> rows;
    const int index = findDay(day);
    if (index < 0)
        return rows;
    const QList<int> &ordinals = m_days.at(index).ordinals;
    rows.reserve(ordinals.size());
    for (int ordinal : ordinals)
        rows.append(rowOf(ordinal));
    return rows;
}

bool HistoryIndex::matches(int row, QByteArrayView query) const
{
    if (query.isEmpty())
        return true;
    const QByteArray &text = m_lowered.at(row);
    return memmem(text.constData(), size_t(text.size()), query.data(), size_t(query.size())) !=
           nullptr;
}

bool HistoryIndex::anyMatch(QDate day, QByteArrayView query) const
{
    const int index = findDay(day);
    if (index < 0)
        return false;
    const QList<int> &ordinals = m_days.at(index).ordinals;
    return std::any_of(ordinals.cbegin(), ordinals.cend(),
                       [&](int ordinal) { return matches(rowOf(ordinal), query); });
}

QList<int> HistoryIndex::matchingRows(QDate day, QByteArrayView query) const
{
    QList<int> rows;
    const int index = findDay(day);
    if (index < 0)
        return rows;
    for (int ordinal : m_days.at(index).ordinals) {
        const int row = rowOf(ordinal);
        if (matches(row, query))
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
    const QList<ClipboardItem> &items = m_store.items();
    m_lowered.clear();
    m_lowered.reserve(items.size());
    for (const ClipboardItem &item : items)
        m_lowered.append(lowered(item.content));
    regroup();
}

void HistoryIndex::regroup()
{
    m_days.clear();
    QHash<QDate, int> dayIndex;
    const int count = int(m_lowered.size());
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
        m_lowered.prepend(lowered(items.at(row).content));
    const int count = int(m_lowered.size());
    for (int row = last; row >= first; --row) {
        const QDate date = m_store.dayOfItem(row);
        const auto it = std::lower_bound(m_days.begin(), m_days.end(), date,
                                         [](const Day &d, QDate value) { return d.date > value; });
        Day &day = (it != m_days.end() && it->date == date) ? *it : *m_days.insert(it, {date, {}});
        day.ordinals.prepend(count - 1 - row);
    }
}

void HistoryIndex::remove(int first, int last)
{
    m_lowered.remove(first, last - first + 1);
    regroup();
}
