// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <array>

class TextMatcher;

// A search text prepared for searching item texts as they are held, in
// UTF-8: the TextMatcher query, encoded, with a Horspool skip table built
// once. A scan asks it about every text, so the table pays off at once.
//
// Folding keeps characters whole, and a UTF-8 character never starts in
// the middle of another, so a byte search in folded UTF-8, refusing what
// ends before a mark, finds exactly what TextMatcher finds in folded UTF-16.
class FoldedQuery {
public:
    FoldedQuery() = default;
    explicit FoldedQuery(const TextMatcher &matcher);
    // `foldedUtf8` is a TextMatcher::query() encoded as UTF-8.
    explicit FoldedQuery(QByteArrayView foldedUtf8);

    [[nodiscard]] const QByteArray &utf8() const { return m_query; }
    // An empty query is in every text.
    [[nodiscard]] bool isEmpty() const { return m_query.isEmpty(); }

    // Whether `foldedText`, a text TextMatcher::foldUtf8() has folded,
    // contains the query.
    [[nodiscard]] bool isIn(QByteArrayView foldedText) const;
    // The same for a text not folded yet. It is folded a window at a time
    // (and not at all where it is folded already), so a text of many
    // megabytes is searched without a copy of itself.
    [[nodiscard]] bool isInUnfolded(QByteArrayView utf8) const;

private:
    QByteArray m_query;
    std::array<qsizetype, 256> m_skip{};
    bool m_startsUnit = true; // false for a query that starts with a mark
};
