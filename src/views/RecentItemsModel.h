// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ClipboardItem.h"
#include "FoldedQuery.h"
#include "TextMatcher.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QString>

class ClipboardStore;

// The popover's list: the newest `limit` items of the store, narrowed by the
// search text. Only those items are ever copied or searched, however long
// the history is, so typing in the popover costs the same for ten items as
// for a hundred thousand. Filtering has no side effects on the store.
class RecentItemsModel final : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int limit = 100;

    enum Role { ItemRole = Qt::UserRole + 1, QueryRole };

    explicit RecentItemsModel(ClipboardStore &store, QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;

    // The search field's text, raw: untrimmed, as typed.
    void setSearchText(const QString &text);

    [[nodiscard]] const ClipboardItem &itemAt(int row) const;
    // "N recent items" while the search field is empty, otherwise
    // "Searching N matches" (spaces alone count as a search).
    [[nodiscard]] QString statusLine() const;

Q_SIGNALS:
    // The counts behind statusLine() may have changed.
    void statusChanged();

private:
    void reloadRecent();
    void refilter();
    [[nodiscard]] QList<int> matchingRows();
    [[nodiscard]] bool rowMatches(int row) const;

    ClipboardStore &m_store;
    QList<ClipboardItem> m_recent;
    // Parallel to m_recent: each text folded (as UTF-8, shared with the text
    // when folding leaves it as it is), empty for a long text.
    QList<QByteArray> m_foldedContent;
    QList<int> m_rows; // rows of m_recent that match, in order
    // The rows recent queries matched, by query, while the hundred stay the
    // same. Typing back costs nothing, and a query containing one of them
    // matches only among its rows: typing on narrows instead of searching
    // every text again (a huge one among them costs its size each time).
    QHash<QByteArray, QList<int>> m_recentMatches;
    QString m_searchText;
    TextMatcher m_matcher;
    FoldedQuery m_query; // the matcher's query, as the texts are searched
};
