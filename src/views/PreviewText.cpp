// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "PreviewText.h"

#include "HighlightStyle.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextOption>

namespace {

const QString kEllipsis = QStringLiteral("\u2026");

} // namespace

QString PreviewText::spoken(const ItemText &text, const QString &time)
{
    constexpr qsizetype kSpokenLength = 200;
    QString start = text.left(kSpokenLength + 1).simplified();
    if (start.size() > kSpokenLength)
        start = start.left(kSpokenLength) + QChar(0x2026);
    return start + QStringLiteral(", ") + time;
}

QString PreviewText::withLineSeparators(QString text)
{
    // QTextLayout breaks lines only at U+2028. Every replacement keeps the
    // length, so match ranges stay valid.
    const qsizetype size = text.size();
    QChar *data = text.data();
    for (qsizetype i = 0; i < size; ++i) {
        if (data[i] == u'\n')
            data[i] = QChar::LineSeparator;
        else if (data[i] == u'\r')
            data[i] = (i + 1 < size && data[i + 1] == u'\n') ? QChar(u' ') : QChar::LineSeparator;
    }
    return text;
}

qsizetype PreviewText::prefixLimit(const QFont &font, qreal width, int maxLines)
{
    const QFontMetricsF metrics(font);
    const qreal narrowest = std::max<qreal>(1.0, metrics.horizontalAdvance(QLatin1Char('i')) / 2);
    const qsizetype perLine = qsizetype(std::max<qreal>(width, 1) / narrowest) + 2;
    return std::max<qsizetype>(256, perLine * std::max(maxLines, 1));
}

PreviewText::PreviewText(const QString &text, const QString &query, const QFont &font, qreal width,
                         int maxLines)
    : m_font(font)
{
    maxLines = std::max(maxLines, 1);
    width = std::max<qreal>(width, 1);
    qsizetype limit = std::min(text.size(), prefixLimit(font, width, maxLines));
    if (limit < text.size() && limit > 0 && text.at(limit - 1).isHighSurrogate())
        --limit;
    const bool cut = limit < text.size();
    m_prefix = withLineSeparators(text.left(limit));

    m_layout = std::make_unique<QTextLayout>(m_prefix, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')) * 8);
    m_layout->setTextOption(option);
    m_layout->setFormats(HighlightStyle::formats(TextMatcher(query).ranges(m_prefix), font));
    m_layout->setCacheEnabled(true);

    const qreal ellipsisWidth = QFontMetricsF(font).horizontalAdvance(kEllipsis);
    qreal y = 0;
    m_layout->beginLayout();
    for (int lineNumber = 0; lineNumber < maxLines; ++lineNumber) {
        QTextLine line = m_layout->createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        const qsizetype end = line.textStart() + line.textLength();
        const bool isLast = lineNumber == maxLines - 1;
        if (isLast && (end < m_prefix.size() || cut)) {
            // Make room for the ellipsis on the last line shown.
            line.setLineWidth(std::max<qreal>(width - ellipsisWidth, 1));
            m_truncated = true;
            m_ellipsisPosition = QPointF(line.naturalTextWidth(), y + line.ascent());
        }
        y += line.height();
    }
    m_layout->endLayout();
    m_height = std::ceil(y);
}

// Two units more than the limit: the prefix then holds more than the limit
// whenever the text does (a character is one or two units), so a cut still
// shows.
PreviewText::PreviewText(const ItemText &text, const QString &query, const QFont &font, qreal width,
                         int maxLines)
    : PreviewText(text.left(prefixLimit(font, width, maxLines) + 2), query, font, width, maxLines)
{
}

PreviewText::~PreviewText() = default;

int PreviewText::lineCount() const
{
    return m_layout->lineCount();
}

void PreviewText::draw(QPainter *painter, const QPointF &topLeft) const
{
    m_layout->draw(painter, topLeft);
    if (m_truncated) {
        painter->save();
        painter->setFont(m_font);
        painter->drawText(topLeft + m_ellipsisPosition, kEllipsis);
        painter->restore();
    }
}
