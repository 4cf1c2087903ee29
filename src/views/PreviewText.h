// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ItemText.h"

#include <QFont>
#include <QString>
#include <QTextLayout>

#include <memory>
#include <vector>

class QPainter;

// Item text laid out for a preview of at most `maxLines` lines: the text's
// own lines, one a row (they do not wrap), each cut with an ellipsis where
// it is wider than `width`, the last one also where more lines follow.
// Search matches are marked. Every line is as tall as the font's, so the
// height follows from the count of lines alone (heightOf(lineCountOf(),
// lineHeight())) and a list can size its rows without laying out text. Only the start of each
// line that can show is laid out, so an item of many megabytes costs no
// more than a short one.
class PreviewText {
public:
    PreviewText(const QString &text, const QString &query, const QFont &font, qreal width,
                int maxLines);
    // The same for an item's text, of which only what can show is converted.
    PreviewText(const ItemText &text, const QString &query, const QFont &font, qreal width,
                int maxLines);
    ~PreviewText();
    PreviewText(const PreviewText &) = delete;
    PreviewText &operator=(const PreviewText &) = delete;

    [[nodiscard]] qreal height() const { return m_height; }
    [[nodiscard]] int lineCount() const { return int(m_lines.size()); }

    // Draws with the painter's pen as the text colour, `topLeft` being the
    // top-left corner of the first line.
    void draw(QPainter *painter, const QPointF &topLeft) const;

    // How many lines a preview of `text` shows, at most `maxLines`: found
    // from its line breaks, with no layout.
    [[nodiscard]] static int lineCountOf(const ItemText &text, int maxLines);
    // The height of one line of a preview in `font`, and of `lines` lines.
    [[nodiscard]] static qreal lineHeight(const QFont &font);
    [[nodiscard]] static qreal heightOf(int lines, qreal lineHeight);

    // `text` with its line breaks as a text layout breaks lines (U+2028),
    // the length kept: plain-text newlines become separators, the carriage
    // return of a CR LF pair an invisible trailing space.
    [[nodiscard]] static QString withLineSeparators(QString text);

    // What a screen reader reads for a row: the start of the text on one
    // line, then `time`.
    [[nodiscard]] static QString spoken(const ItemText &text, const QString &time);

    // How many characters of a text can possibly show in `maxLines` lines of
    // `width` in `font`: an upper bound, generous for narrow glyphs.
    [[nodiscard]] static qsizetype prefixLimit(const QFont &font, qreal width, int maxLines);

private:
    struct Line {
        std::unique_ptr<QTextLayout> layout;
        bool cut = false;
        QPointF ellipsisPosition; // relative to the preview's top left, at the baseline
    };

    // Lays out one line of the text, the start of it that can show;
    // `cut` when the line goes on past that start, `moreFollow` when
    // this is the last line shown and more lines follow.
    void addLine(QString text, bool cut, bool moreFollow);

    std::vector<Line> m_lines;
    QString m_query;
    QFont m_font;
    qreal m_width = 0;
    qreal m_height = 0;
};
