// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "TextMatcher.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

class HistoryIndex;

// The history browser's search over a HistoryIndex: one search text, the
// days it lists (those with a matching item or a matching title, newest
// first) and the rows of a day it shows.
//
// For recent texts it remembers the days with a matching item. Typing back
// to one of them costs nothing, and a text containing one of them can only
// match within its days, so typing on narrows the search instead of
// starting over. The owner reports captures (itemInserted) so the entries
// stay true, and any other change of the history (historyChanged), which
// drops them.
class HistorySearch {
public:
    explicit HistorySearch(const HistoryIndex &index);

    [[nodiscard]] const QString &text() const { return m_text; }
    void setText(const QString &text);

    [[nodiscard]] QList<QDate> visibleDays();
    // Whether the item at `row` of the store matches the search.
    [[nodiscard]] bool itemMatches(int row) const;
    [[nodiscard]] bool titleMatches(QDate day) const;
    // The rows of `day` that match, newest first.
    [[nodiscard]] QList<int> matchingRows(QDate day) const;

    // The item now at `row` was captured (the index has it already).
    void itemInserted(int row);
    void historyChanged() { m_itemMatchDays.clear(); }

    // The title a day is listed and searched under: "dd/MMMM/yyyy" with the
    // month named in the user's locale.
    [[nodiscard]] static QString dayTitle(QDate day);

private:
    const HistoryIndex &m_index;
    QString m_text;
    TextMatcher m_matcher;
    QByteArray m_queryUtf8; // the matcher's query, for the index
    mutable QHash<QDate, QString> m_foldedTitles;
    QHash<QString, QSet<QDate>> m_itemMatchDays; // by folded query
};
