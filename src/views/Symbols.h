// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QRectF>

class QPainter;

// The few symbols Quillmark shows, drawn as vector paths so that they stay
// crisp at every size and scale factor; no image file is involved. The
// design calls them "star.hexagon.fill", "document.on.document", "calendar"
// and "tray"; "xmark.circle.fill" clears a search field.
enum class Symbol { starHexagonFill, documentOnDocument, calendar, tray, xmarkCircleFill };

namespace Symbols {

// Paints the symbol centred in `rect`, fitted to its shorter side.
void paint(QPainter *painter, Symbol symbol, const QRectF &rect, const QColor &color);

// A transparent square pixmap of `size` logical pixels at `devicePixelRatio`.
[[nodiscard]] QPixmap pixmap(Symbol symbol, int size, const QColor &color,
                             qreal devicePixelRatio = 1.0);

// An icon that paints the symbol afresh for each requested size and scale.
[[nodiscard]] QIcon icon(Symbol symbol, const QColor &color);

} // namespace Symbols
