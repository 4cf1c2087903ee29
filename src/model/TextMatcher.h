// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// One marked stretch of a text, in UTF-16 code units.
struct TextRange {
    qsizetype start = 0;
    qsizetype length = 0;
    friend bool operator==(const TextRange &, const TextRange &) = default;
};

// The one search rule of every view: the popover's filter, the history
// browser's filter and day titles, and the marks drawn in item text. A text
// matches exactly when ranges() marks something in it, because both compare
// the same folded strings.
//
// The search text is trimmed of white space and newlines at both ends and
// case-folded. Folding is lower-casing one code point at a time, with the
// letters whose lower case is ambiguous brought together: final and medial
// sigma, the Greek symbol variants (ϐ and β), long s and s; then the text
// is composed (CanonicalText), so that canonically equivalent texts fold
// alike. Each code point folds to one of the same UTF-16 length, so where
// composing changes nothing (nearly always) a position in the folded text
// is the same position in the original; where it does, ranges() maps the
// marks back to whole characters of the original. A match is whole
// characters with their marks: it neither starts nor ends next to a mark
// of the character it would cut.
class TextMatcher {
public:
    explicit TextMatcher(QStringView searchText = {});

    // `text` folded (and composed) as queries and contents are compared.
    [[nodiscard]] static QString fold(QStringView text);
    // The same, sharing `text` itself when folding changes nothing.
    [[nodiscard]] static QString fold(const QString &text);
    // The same rule over well-formed UTF-8, giving UTF-8: what fold() gives
    // for the text, without converting it to UTF-16 and back.
    [[nodiscard]] static QByteArray foldUtf8(QByteArrayView utf8);
    // The same, sharing `utf8` itself when it is ASCII that folding leaves
    // as it is (most copied text).
    [[nodiscard]] static QByteArray foldUtf8(const QByteArray &utf8);
    // How many bytes at the start of `utf8` are ASCII that folding leaves
    // as it is.
    [[nodiscard]] static qsizetype foldedAsciiPrefix(QByteArrayView utf8);

    // Whether the trimmed search text is empty: everything matches, nothing
    // is marked.
    [[nodiscard]] bool isEmpty() const { return m_query.isEmpty(); }
    // The trimmed, folded search text.
    [[nodiscard]] const QString &query() const { return m_query; }

    // Whether `foldedQuery` lies in `foldedText` as a match would (whole
    // characters with their marks): then every text that matches the one
    // holds a match of the other, which lets a search narrow from it.
    [[nodiscard]] static bool containsWhole(QStringView foldedText, QStringView foldedQuery);

    [[nodiscard]] bool matches(QStringView text) const;
    // The same for a text that fold() has already folded.
    [[nodiscard]] bool matchesFolded(QStringView foldedText) const;
    // Every occurrence in `text` starting at or after `from`, left to right
    // and non-overlapping: after a match the scan resumes at its end. Empty
    // for an empty search text.
    [[nodiscard]] QList<TextRange> ranges(QStringView text, qsizetype from = 0) const;
    // Where the first occurrence at or after `from` starts in `text`, or -1.
    [[nodiscard]] qsizetype indexIn(QStringView text, qsizetype from = 0) const;

private:
    // Calls `onMatch(start, length)` for each occurrence as ranges() finds
    // them, until it returns false.
    template <typename OnMatch> void scan(QStringView text, qsizetype from, OnMatch onMatch) const;

    QString m_query;
    bool m_startsUnit = true; // false for a query that starts with a mark
};
