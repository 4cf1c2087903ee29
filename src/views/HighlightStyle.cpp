// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "HighlightStyle.h"

#include "Appearance.h"

#include <QFont>

namespace HighlightStyle {

QColor markBackground()
{
    QColor yellow = NamedColors::yellow();
    yellow.setAlphaF(0.85f);
    return yellow;
}

QTextCharFormat markFormat(const QFont &font)
{
    QFont bold = font;
    bold.setBold(true);
    QTextCharFormat format;
    format.setFont(bold, QTextCharFormat::FontPropertiesSpecifiedOnly);
    format.setFontWeight(QFont::Bold);
    format.setForeground(NamedColors::black());
    format.setBackground(markBackground());
    return format;
}

QList<QTextLayout::FormatRange> formats(const QList<TextRange> &ranges, const QFont &font,
                                        qsizetype limit)
{
    QList<QTextLayout::FormatRange> result;
    if (ranges.isEmpty())
        return result;
    const QTextCharFormat format = markFormat(font);
    result.reserve(ranges.size());
    for (const TextRange &range : ranges) {
        qsizetype length = range.length;
        if (limit >= 0) {
            if (range.start >= limit)
                break;
            length = std::min(length, limit - range.start);
        }
        result.append({int(range.start), int(length), format});
    }
    return result;
}

QList<QTextLayout::FormatRange> formats(QStringView text, QStringView query, const QFont &font)
{
    return formats(TextMatcher(query).ranges(text), font);
}

} // namespace HighlightStyle
