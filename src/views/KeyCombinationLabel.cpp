// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "KeyCombinationLabel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPathStroker>

KeyCombinationLabel::KeyCombinationLabel(const QString &keys, QWidget *parent)
    : QLabel(keys, parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

namespace {

// The Option and Shift keys drawn as strokes as thick as the font's own
// stems, `height` tall and standing on the baseline: fallback fonts draw
// them at weights of their own, which no scaling evens out.
QPainterPath drawnKey(QChar key, qreal height, qreal stem)
{
    const qreal w = height * 1.05;
    const qreal in = stem / 2;
    const qreal top = -height + in;
    const qreal bottom = -in;
    QPainterPath line;
    if (key == QChar(0x2325)) { // Option: ⌥
        line.moveTo(0, top);
        line.lineTo(w * 0.34, top);
        line.lineTo(w * 0.7, bottom);
        line.lineTo(w, bottom);
        line.moveTo(w * 0.6, top);
        line.lineTo(w, top);
    } else if (key == QChar(0x21E7)) { // Shift: ⇧
        const qreal shoulder = top + (bottom - top) * 0.5;
        line.moveTo(w / 2, top);
        line.lineTo(w - in, shoulder);
        line.lineTo(w * 0.72, shoulder);
        line.lineTo(w * 0.72, bottom);
        line.lineTo(w * 0.28, bottom);
        line.lineTo(w * 0.28, shoulder);
        line.lineTo(in, shoulder);
        line.closeSubpath();
    } else {
        return {};
    }
    QPainterPathStroker stroker;
    stroker.setWidth(stem);
    stroker.setCapStyle(Qt::FlatCap);
    stroker.setJoinStyle(Qt::MiterJoin);
    return stroker.createStroke(line).simplified();
}

} // namespace

QList<QPainterPath> KeyCombinationLabel::keyOutlines() const
{
    const QFontMetricsF metrics(font());
    const qreal capHeight = metrics.capHeight();
    const qreal gap = metrics.horizontalAdvance(QLatin1Char(' '));
    // The stem of a vertical bar in this font and weight.
    QPainterPath bar;
    bar.addText(0, 0, font(), QStringLiteral("|"));
    const qreal stem = std::clamp(bar.boundingRect().width(), 1.0, capHeight / 4);
    QList<QPainterPath> outlines;
    qreal x = 0;
    for (const QString &key : text().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        QPainterPath path = key.size() == 1 ? drawnKey(key.at(0), capHeight, stem) : QPainterPath();
        if (path.isEmpty())
            path.addText(0, 0, font(), key);
        QRectF box = path.boundingRect();
        if (box.isEmpty())
            continue;
        if (!key.at(0).isLetterOrNumber() && std::abs(box.height() - capHeight) > 0.01) {
            // A symbol: as tall as a capital, standing on the baseline.
            const qreal scale = capHeight / box.height();
            path = QTransform::fromScale(scale, scale).map(path);
            box = path.boundingRect();
            path.translate(0, -box.bottom());
        }
        path.translate(x - box.left(), 0);
        outlines.append(path);
        x += box.width() + gap;
    }
    return outlines;
}

QSize KeyCombinationLabel::sizeHint() const
{
    qreal width = 0;
    for (const QPainterPath &outline : keyOutlines())
        width = std::max(width, outline.boundingRect().right());
    const QMargins margins = contentsMargins();
    return {int(std::ceil(width)) + 2 + margins.left() + margins.right(),
            int(std::ceil(QFontMetricsF(font()).height())) + margins.top() + margins.bottom()};
}

void KeyCombinationLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QList<QPainterPath> outlines = keyOutlines();
    qreal width = 0;
    for (const QPainterPath &outline : outlines)
        width = std::max(width, outline.boundingRect().right());
    const QFontMetricsF metrics(font());
    const QRectF area = contentsRect();
    // Right-aligned, vertically centred like the text it stands for.
    const QPointF origin(area.right() - width - 1,
                         area.top() + (area.height() - metrics.height()) / 2 + metrics.ascent());
    painter.translate(origin);
    for (const QPainterPath &outline : outlines)
        painter.fillPath(outline, palette().color(foregroundRole()));
}
