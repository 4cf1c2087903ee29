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

// Line breaks are LF, CR LF, a lone CR, U+2028 and U+2029.
LineEnd nextLineEnd(QStringView text, qsizetype from)
{
    for (qsizetype i = from; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\n' || c == 0x2028 || c == 0x2029)
            return {i, 1};
        if (c == u'\r')
            return {i, i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1};
    }
    return {text.size(), 0};
}

// The same in UTF-8 (U+2028 and U+2029 are E2 80 A8 and E2 80 A9), with
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

// The start of a line that can show: at most `limit` units, a character
// never split. `cut` tells whether the line goes on.
QString lineStart(QStringView line, qsizetype limit, bool &cut)
{
    qsizetype take = std::min(line.size(), limit);
    if (take < line.size() && take > 0 && line[take - 1].isHighSurrogate())
        --take;
    cut = take < line.size();
    return line.left(take).toString();
}

struct FontLine {
    qreal height = 0;
    qreal ascent = 0;
};

// The height and ascent of a line of `font` as a text layout gives them.
FontLine fontLine(const QFont &font)
{
    static QHash<QString, FontLine> known;
    const QString key = font.key();
    if (const auto it = known.constFind(key); it != known.constEnd())
        return *it;
    QTextLayout layout(QStringLiteral(" "), font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1000);
    layout.endLayout();
    const FontLine metrics{line.height(), line.ascent()};
    known.insert(key, metrics);
    return metrics;
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
    return fontLine(font).height;
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
    : m_query(query), m_font(font), m_width(std::max<qreal>(width, 1))
{
    maxLines = std::max(maxLines, 1);
    const qsizetype limit = prefixLimit(font, m_width, 1);
    qsizetype from = 0;
    for (int line = 0; line < maxLines; ++line) {
        const LineEnd end = nextLineEnd(text, from);
        bool cut = false;
        QString start = lineStart(QStringView(text).mid(from, end.at - from), limit, cut);
        addLine(std::move(start), cut, line == maxLines - 1 && end.length > 0);
        if (end.length == 0)
            break;
        from = end.at + end.length;
    }
    m_height = heightOf(lineCount(), lineHeight(font));
}

PreviewText::PreviewText(const ItemText &text, const QString &query, const QFont &font, qreal width,
                         int maxLines)
    : m_query(query), m_font(font), m_width(std::max<qreal>(width, 1))
{
    maxLines = std::max(maxLines, 1);
    const qsizetype limit = prefixLimit(font, m_width, 1);
    const char *data = text.utf8().constData();
    const qsizetype size = text.utf8Size();
    qsizetype from = 0;
    for (int line = 0; line < maxLines; ++line) {
        const LineEnd end = nextLineEnd(data, size, from);
        // A UTF-16 unit takes at most three bytes: this many bytes hold more
        // than `limit` units whenever the line does.
        const qsizetype lineBytes = end.at - from;
        qsizetype bytes = std::min(lineBytes, 3 * limit + 4);
        while (bytes > 0 && bytes < lineBytes && (uchar(data[from + bytes]) & 0xC0) == 0x80)
            --bytes;
        bool cut = false;
        QString start = lineStart(QString::fromUtf8(data + from, bytes), limit, cut);
        addLine(std::move(start), cut || bytes < lineBytes, line == maxLines - 1 && end.length > 0);
        if (end.length == 0)
            break;
        from = end.at + end.length;
    }
    m_height = heightOf(lineCount(), lineHeight(font));
}

PreviewText::~PreviewText() = default;

void PreviewText::addLine(QString text, bool cut, bool moreFollow)
{
    const FontLine metrics = fontLine(m_font);
    const qreal top = qreal(m_lines.size()) * metrics.height;
    Line line;
    line.layout = std::make_unique<QTextLayout>(text, m_font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(QFontMetricsF(m_font).horizontalAdvance(QLatin1Char(' ')) * 8);
    line.layout->setTextOption(option);
    line.layout->setFormats(
        HighlightStyle::formats(TextMatcher(m_query).ranges(text), m_font, text.size()));
    line.layout->setCacheEnabled(true);
    line.layout->beginLayout();
    QTextLine textLine = line.layout->createLine();
    textLine.setLineWidth(m_width);
    if (cut || moreFollow || textLine.textLength() < text.size()) {
        // Make room for the ellipsis.
        textLine.setLineWidth(
            std::max<qreal>(m_width - QFontMetricsF(m_font).horizontalAdvance(kEllipsis), 1));
        line.cut = true;
        line.ellipsisPosition = QPointF(textLine.naturalTextWidth(), top + metrics.ascent);
    }
    // Every line on the font's own baseline, whatever fallback fonts it uses.
    textLine.setPosition(QPointF(0, top + metrics.ascent - textLine.ascent()));
    line.layout->endLayout();
    m_lines.push_back(std::move(line));
}

void PreviewText::draw(QPainter *painter, const QPointF &topLeft) const
{
    for (const Line &line : m_lines) {
        line.layout->draw(painter, topLeft);
        if (line.cut) {
            painter->save();
            painter->setFont(m_font);
            painter->drawText(topLeft + line.ellipsisPosition, kEllipsis);
            painter->restore();
        }
    }
}
