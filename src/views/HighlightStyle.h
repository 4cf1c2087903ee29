// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "TextMatcher.h"

#include <QColor>
#include <QList>
#include <QTextCharFormat>
#include <QTextLayout>

class QFont;

// How search matches look wherever item text is drawn: bold, black on
// yellow at 0.85 opacity, whatever the theme or accent.
namespace HighlightStyle {

[[nodiscard]] QColor markBackground();
// The character format of a match drawn in `font`.
[[nodiscard]] QTextCharFormat markFormat(const QFont &font);

// Layout formats for the given ranges; ranges reaching past `limit` (when
// limit >= 0) are cut there, ranges starting beyond it dropped. Use the
// limit when only a prefix of the text is laid out.
[[nodiscard]] QList<QTextLayout::FormatRange> formats(const QList<TextRange> &ranges,
                                                      const QFont &font, qsizetype limit = -1);
// The matches of `query` in `text`, as layout formats.
[[nodiscard]] QList<QTextLayout::FormatRange> formats(QStringView text, QStringView query,
                                                      const QFont &font);

} // namespace HighlightStyle
