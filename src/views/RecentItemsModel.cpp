// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RecentItemsModel.h"

#include "ClipboardStore.h"
#include "DateFormatter.h"
#include "PreviewText.h"

#include <QHash>

namespace {

// A text this long is not held folded beside itself, which would double what
// it costs; a search folds it a window at a time instead, in UTF-8.
constexpr qsizetype kLongestKeptFolded = qsizetype(1) << 20; // UTF-8 bytes

bool keepsFolded(const ItemText &text)
{
    return text.utf8Size() <= kLongestKeptFolded;
}

} // namespace

RecentItemsModel::RecentItemsModel(ClipboardStore &store, QObject *parent)
    : QAbstractListModel(parent), m_store(store)
{
    // Any change in the store may change which items are the newest
    // hundred; re-reading a hundred shared strings is simpler than tracking.
    for (auto signal : {&ClipboardStore::itemsInserted, &ClipboardStore::itemsRemoved})
        connect(&m_store, signal, this, &RecentItemsModel::reloadRecent);
    connect(&m_store, &ClipboardStore::itemsReset, this, &RecentItemsModel::reloadRecent);
    reloadRecent();
}

int RecentItemsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant RecentItemsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const ClipboardItem &item = itemAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return item.content.left(500);
    case ItemRole:
        return QVariant::fromValue(item);
    case QueryRole:
        return m_searchText;
    case Qt::AccessibleTextRole:
        return PreviewText::spoken(item.content, timeFormatter().format(item.createdAt));
    default:
        return {};
    }
}

void RecentItemsModel::setSearchText(const QString &text)
{
    if (text == m_searchText)
        return;
    m_searchText = text;
    TextMatcher matcher(text);
    if (matcher.query() != m_matcher.query()) {
        m_matcher = std::move(matcher);
        m_query = FoldedQuery(m_matcher);
        refilter();
    } else if (!m_rows.isEmpty()) {
        // Same matches, but the rows repaint their marks from the raw text.
        Q_EMIT dataChanged(index(0), index(int(m_rows.size()) - 1), {QueryRole});
    }
    Q_EMIT statusChanged();
}

const ClipboardItem &RecentItemsModel::itemAt(int row) const
{
    return m_recent.at(m_rows.at(row));
}

QString RecentItemsModel::statusLine() const
{
    if (m_searchText.isEmpty())
        return tr("%1 recent items").arg(m_recent.size());
    return tr("Searching %1 matches").arg(m_rows.size());
}

void RecentItemsModel::reloadRecent()
{
    const QList<ClipboardItem> &items = m_store.items();
    QList<ClipboardItem> recent = items.first(std::min<qsizetype>(items.size(), limit));
    // Most of the hundred were shown before (a capture shifts them by one):
    // their folded text is kept, so a long item is folded once, not at
    // every capture. The same text buffer means the same text, and the old
    // list keeps those buffers alive while they are compared.
    QHash<const char *, qsizetype> previous;
    previous.reserve(m_recent.size());
    for (qsizetype row = 0; row < m_recent.size(); ++row)
        previous.insert(m_recent.at(row).content.utf8().constData(), row);
    QList<QByteArray> folded;
    folded.reserve(recent.size());
    for (const ClipboardItem &item : std::as_const(recent)) {
        const auto it = previous.constFind(item.content.utf8().constData());
        if (it != previous.constEnd() && m_recent.at(*it).content.isSharedWith(item.content))
            folded.append(m_foldedContent.at(*it));
        else
            folded.append(keepsFolded(item.content) ? TextMatcher::foldUtf8(item.content.utf8())
                                                    : QByteArray());
    }
    m_recent = std::move(recent);
    m_foldedContent = std::move(folded);
    m_recentMatches.clear();
    refilter();
    Q_EMIT statusChanged();
}

bool RecentItemsModel::rowMatches(int row) const
{
    const ItemText &content = m_recent.at(row).content;
    return keepsFolded(content) ? m_query.isIn(m_foldedContent.at(row))
                                : m_query.isInUnfolded(content.utf8());
}

QList<int> RecentItemsModel::matchingRows()
{
    QList<int> rows;
    if (m_query.isEmpty()) {
        for (int row = 0; row < m_recent.size(); ++row)
            rows.append(row);
        return rows;
    }
    const QByteArray &query = m_query.utf8();
    if (const auto known = m_recentMatches.constFind(query); known != m_recentMatches.constEnd())
        return *known;
    const QList<int> *candidates = nullptr;
    for (auto it = m_recentMatches.cbegin(); it != m_recentMatches.cend(); ++it)
        if (FoldedQuery(it.key()).isIn(query) && (!candidates || it->size() < candidates->size()))
            candidates = &it.value();
    if (candidates) {
        for (int row : *candidates)
            if (rowMatches(row))
                rows.append(row);
    } else {
        for (int row = 0; row < m_recent.size(); ++row)
            if (rowMatches(row))
                rows.append(row);
    }
    if (m_recentMatches.size() >= 64)
        m_recentMatches.clear();
    m_recentMatches.insert(query, rows);
    return rows;
}

void RecentItemsModel::refilter()
{
    QList<int> rows = matchingRows();
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}
