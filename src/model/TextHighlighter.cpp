#include "TextHighlighter.h"

QList<TextRange> TextHighlighter::highlightRanges(QStringView text, QStringView query)
{
    const QStringView needle = query.trimmed();
    QList<TextRange> ranges;
    if (needle.isEmpty())
        return ranges;
    qsizetype from = 0;
    while (from < text.size()) {
        const qsizetype found = text.indexOf(needle, from, Qt::CaseInsensitive);
        if (found < 0)
            break;
        ranges.append({found, needle.size()});
        from = found + needle.size();
    }
    return ranges;
}

QString TextHighlighter::normalizedQuery(const QString &searchText)
{
    return searchText.trimmed().toLower();
}
