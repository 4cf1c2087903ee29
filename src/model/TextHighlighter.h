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

// The rule that marks search matches in item text, shared by every view
// that shows an item. Views only draw the ranges it returns.
class TextHighlighter {
public:
    // Every occurrence of `query` (trimmed of white space and newlines at
    // both ends, compared case-insensitively) in `text`, left to right and
    // non-overlapping: after a match the scan resumes at its end. Empty when
    // the trimmed query is empty.
    [[nodiscard]] static QList<TextRange> highlightRanges(QStringView text, QStringView query);

    // The search query of a raw search field: trimmed, then lower-cased.
    // An item matches when its lower-cased content contains this query.
    [[nodiscard]] static QString normalizedQuery(const QString &searchText);
};
