// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Symbols.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QtMath>

namespace {

// Every symbol is designed on a 24 × 24 grid and built as one filled path
// (outlines are turned into areas with a stroker), so painting is a single
// antialiased fill in the requested colour.
constexpr qreal kGrid = 24.0;
constexpr qreal kLine = 1.8;

QPainterPath outlineOf(const QPainterPath &path, qreal width = kLine)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setJoinStyle(Qt::RoundJoin);
    stroker.setCapStyle(Qt::RoundCap);
    return stroker.createStroke(path).simplified();
}

QPainterPath roundedRect(qreal x, qreal y, qreal w, qreal h, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(x, y, w, h), radius, radius);
    return path;
}

QPainterPath starHexagonFill()
{
    const QPointF centre(12, 12);
    QPainterPath hexagon;
    for (int i = 0; i < 6; ++i) {
        const qreal angle = qDegreesToRadians(-90.0 + 60.0 * i);
        const QPointF corner = centre + QPointF(std::cos(angle), std::sin(angle)) * 11.0;
        i == 0 ? hexagon.moveTo(corner) : hexagon.lineTo(corner);
    }
    hexagon.closeSubpath();
    // Soften the corners a little, the way the other symbols are rounded.
    hexagon = hexagon.united(outlineOf(hexagon, 1.2));

    QPainterPath star;
    const QPointF starCentre(12, 12.5);
    for (int i = 0; i < 10; ++i) {
        const qreal angle = qDegreesToRadians(-90.0 + 36.0 * i);
        const qreal radius = i % 2 == 0 ? 5.6 : 2.4;
        const QPointF point = starCentre + QPointF(std::cos(angle), std::sin(angle)) * radius;
        i == 0 ? star.moveTo(point) : star.lineTo(point);
    }
    star.closeSubpath();
    return hexagon.subtracted(star);
}

QPainterPath documentOnDocument()
{
    const QPainterPath back = roundedRect(3.5, 2.5, 12, 15, 2.2);
    const QPainterPath front = roundedRect(8.5, 6.5, 12, 15, 2.2);
    // The back sheet's outline disappears behind the front sheet.
    QPainterPath shape = outlineOf(back).subtracted(front.united(outlineOf(front)));
    shape = shape.united(outlineOf(front));
    for (qreal y : {11.5, 14.5, 17.5}) {
        QPainterPath line;
        line.moveTo(11.5, y);
        line.lineTo(y == 17.5 ? 15.0 : 17.5, y);
        shape = shape.united(outlineOf(line, 1.5));
    }
    return shape;
}

QPainterPath calendar()
{
    QPainterPath shape = outlineOf(roundedRect(3, 4.5, 18, 16.5, 3));
    shape = shape.united(roundedRect(3, 4.5, 18, 4.5, 2.5));
    for (qreal x : {7.0, 15.0})
        shape = shape.united(roundedRect(x, 2, 2, 5, 1));
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column)
            shape = shape.united(roundedRect(6.5 + column * 4.5, 11.5 + row * 4.5, 2.2, 2.2, 0.6));
    return shape;
}

QPainterPath tray()
{
    QPainterPath shape = outlineOf(roundedRect(3, 5, 18, 14.5, 3));
    QPainterPath ledge;
    ledge.moveTo(3, 13);
    ledge.lineTo(7.5, 13);
    ledge.cubicTo(8.2, 13, 8.4, 15.8, 9.8, 15.8);
    ledge.lineTo(14.2, 15.8);
    ledge.cubicTo(15.6, 15.8, 15.8, 13, 16.5, 13);
    ledge.lineTo(21, 13);
    return shape.united(outlineOf(ledge));
}

QPainterPath xmarkCircleFill()
{
    QPainterPath disc;
    disc.addEllipse(QPointF(12, 12), 10, 10);
    QPainterPath cross;
    cross.moveTo(8.5, 8.5);
    cross.lineTo(15.5, 15.5);
    cross.moveTo(15.5, 8.5);
    cross.lineTo(8.5, 15.5);
    return disc.subtracted(outlineOf(cross, 2.2));
}

// Built once: the path operations are far dearer than the fill.
const QPainterPath &pathFor(Symbol symbol)
{
    static const QPainterPath star = starHexagonFill();
    static const QPainterPath documents = documentOnDocument();
    static const QPainterPath days = calendar();
    static const QPainterPath box = tray();
    static const QPainterPath clear = xmarkCircleFill();
    switch (symbol) {
    case Symbol::starHexagonFill:
        return star;
    case Symbol::documentOnDocument:
        return documents;
    case Symbol::calendar:
        return days;
    case Symbol::tray:
        return box;
    case Symbol::xmarkCircleFill:
        return clear;
    }
    return star;
}

class SymbolIconEngine final : public QIconEngine {
public:
    SymbolIconEngine(Symbol symbol, QColor color) : m_symbol(symbol), m_color(color) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        QColor color = m_color;
        if (mode == QIcon::Disabled)
            color.setAlphaF(color.alphaF() * 0.4f);
        Symbols::paint(painter, m_symbol, rect, color);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        QPixmap image(size * scale);
        image.setDevicePixelRatio(scale);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return image;
    }

    [[nodiscard]] QIconEngine *clone() const override
    {
        return new SymbolIconEngine(m_symbol, m_color);
    }
    [[nodiscard]] QString key() const override { return QStringLiteral("QuillmarkSymbol"); }

private:
    Symbol m_symbol;
    QColor m_color;
};

} // namespace

namespace Symbols {

void paint(QPainter *painter, Symbol symbol, const QRectF &rect, const QColor &color)
{
    const QPainterPath &path = pathFor(symbol);
    if (rect.isEmpty())
        return;
    const qreal side = std::min(rect.width(), rect.height());
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->translate(rect.center() - QPointF(side, side) / 2);
    painter->scale(side / kGrid, side / kGrid);
    painter->fillPath(path, color);
    painter->restore();
}

QPixmap pixmap(Symbol symbol, int size, const QColor &color, qreal devicePixelRatio)
{
    QPixmap image(QSize(size, size) * devicePixelRatio);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paint(&painter, symbol, QRectF(0, 0, size, size), color);
    return image;
}

QIcon icon(Symbol symbol, const QColor &color)
{
    return QIcon(new SymbolIconEngine(symbol, color));
}

} // namespace Symbols
