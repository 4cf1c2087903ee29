// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "KeyCombinationLabel.h"

#include <QFontMetricsF>
#include <QPainter>

KeyCombinationLabel::KeyCombinationLabel(const QString &keys, QWidget *parent)
    : QLabel(keys, parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QList<QPainterPath> KeyCombinationLabel::keyOutlines() const
{
    const QFontMetricsF metrics(font());
    const qreal capHeight = metrics.capHeight();
    const qreal gap = metrics.horizontalAdvance(QLatin1Char(' '));
    QList<QPainterPath> outlines;
    qreal x = 0;
    for (const QString &key : text().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        QPainterPath path;
        path.addText(0, 0, font(), key);
        QRectF box = path.boundingRect();
        if (box.isEmpty())
            continue;
        if (!key.at(0).isLetterOrNumber()) {
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
