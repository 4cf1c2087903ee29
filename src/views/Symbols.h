#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QRectF>
#include <QString>

class QPainter;

// The few symbols Quillmark shows, drawn as vector paths so that they stay
// crisp at every size and scale factor; no image file is involved.
// Known names: "star.hexagon.fill", "document.on.document", "calendar",
// "tray". An unknown name paints nothing.
namespace Symbols {

[[nodiscard]] bool isKnown(const QString &name);

// Paints the symbol centred in `rect`, fitted to its shorter side.
void paint(QPainter *painter, const QString &name, const QRectF &rect, const QColor &color);

// A transparent square pixmap of `size` logical pixels at `devicePixelRatio`.
[[nodiscard]] QPixmap pixmap(const QString &name, int size, const QColor &color,
                             qreal devicePixelRatio = 1.0);

// An icon that paints the symbol afresh for each requested size and scale.
[[nodiscard]] QIcon icon(const QString &name, const QColor &color);

} // namespace Symbols
