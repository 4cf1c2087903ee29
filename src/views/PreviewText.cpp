// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "PreviewText.h"

#include "HighlightStyle.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QTextOption>

#include <cstring>

namespace {

const QString kEllipsis = QStringLiteral("\u2026");

// Where a line ends: the break at `at`, `length` units long (0 when the
// text ends there).
struct LineEnd {
    qsizetype at;
    qsizetype length;
};

// Line breaks are LF, CR LF, a lone CR, U+2028 and U+2029; this finds
// them in UTF-8 (U+2028 and U+2029 are E2 80 A8 and E2 80 A9) with
// memchr() passes: a line of megabytes is crossed at memory speed.
LineEnd nextLineEnd(const char *data, qsizetype size, qsizetype from)
{
    qsizetype end = size;
    for (const char byte : {'\n', '\r'}) {
        if (const void *hit = std::memchr(data + from, byte, size_t(end - from)))
            end = static_cast<const char *>(hit) - data;
    }
    for (qsizetype i = from; i < end;) {
        const void *hit = std::memchr(data + i, '\xE2', size_t(end - i));
        if (!hit)
            break;
        const qsizetype at = static_cast<const char *>(hit) - data;
        if (at + 2 < size && data[at + 1] == '\x80' &&
            (data[at + 2] == '\xA8' || data[at + 2] == '\xA9')) {
            end = at;
            break;
        }
        i = at + 1;
    }
    if (end == size)
        return {size, 0};
    if (data[end] == '\r')
        return {end, end + 1 < size && data[end + 1] == '\n' ? 2 : 1};
    return {end, data[end] == '\n' ? 1 : 3};
}

// The height of a line of `font` as a text layout gives it.
qreal fontLineHeight(const QFont &font)
{
    static QHash<QString, qreal> known;
    const QString key = font.key();
    if (const auto it = known.constFind(key); it != known.constEnd())
        return *it;
    QTextLayout layout(QStringLiteral(" "), font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1000);
    layout.endLayout();
    known.insert(key, line.height());
    return line.height();
}

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

qreal PreviewText::lineHeight(const QFont &font)
{
    return fontLineHeight(font);
}

qreal PreviewText::heightOf(int lines, qreal lineHeight)
{
    return std::ceil(lines * lineHeight);
}

int PreviewText::lineCountOf(const ItemText &text, int maxLines)
{
    const QByteArray &utf8 = text.utf8();
    int lines = 1;
    qsizetype from = 0;
    while (lines < maxLines) {
        const LineEnd end = nextLineEnd(utf8.constData(), utf8.size(), from);
        if (end.length == 0)
            break;
        ++lines;
        from = end.at + end.length;
    }
    return lines;
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
