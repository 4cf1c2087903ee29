// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ItemText.h"

#include <QFont>
#include <QString>
#include <QTextLayout>

#include <memory>

class QPainter;

// Item text laid out for a preview of at most `maxLines` lines, wrapped at
// `width`, search matches marked, and an ellipsis when text was left out.
// Only a prefix long enough to fill those lines is laid out, so an item of
// many megabytes costs no more than a short one. A list sizing many rows
// without laying out their text estimates a height from the count of line
// breaks (heightOf(lineCountOf(), lineHeight())): exact while no line
// wraps and every line is in the font's own height.
class PreviewText {
public:
    // The most lines a preview shows (the longest preview setting).
    static constexpr int mostLines = 10;

    PreviewText(const QString &text, const QString &query, const QFont &font, qreal width,
                int maxLines);
    // The same for an item's text, of which only that prefix is converted.
    PreviewText(const ItemText &text, const QString &query, const QFont &font, qreal width,
                int maxLines);
    ~PreviewText();
    PreviewText(const PreviewText &) = delete;
    PreviewText &operator=(const PreviewText &) = delete;

    [[nodiscard]] qreal height() const { return m_height; }
    [[nodiscard]] int lineCount() const;

    // Draws with the painter's pen as the text colour, `topLeft` being the
    // top-left corner of the first line.
    void draw(QPainter *painter, const QPointF &topLeft) const;

    // How many lines `text` has, at most `maxLines`: found from its line
    // breaks, with no layout.
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
    std::unique_ptr<QTextLayout> m_layout;
    QString m_prefix;
    QFont m_font;
    qreal m_height = 0;
    bool m_truncated = false;
    QPointF m_ellipsisPosition; // relative to the layout origin, at the baseline
};
