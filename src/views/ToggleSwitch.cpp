// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ToggleSwitch.h"

#include "Appearance.h"

#include <QPainter>
#include <QPainterPath>

ToggleSwitch::ToggleSwitch(QWidget *parent) : QAbstractButton(parent)
{
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize ToggleSwitch::sizeHint() const
{
    // Room around the track for the focus ring, clear of it.
    return {46, 30};
}

void ToggleSwitch::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(4, 4, -4, -4);
    const qreal radius = track.height() / 2;
    const bool dark = palette().color(QPalette::Window).lightness() < 128;

    QColor trackColor = isChecked() ? NamedColors::blue()
                                    : (dark ? QColor(255, 255, 255, 46) : QColor(0, 0, 0, 38));
    if (!isEnabled())
        trackColor.setAlphaF(trackColor.alphaF() * 0.5f);
    painter.setPen(Qt::NoPen);
    painter.setBrush(trackColor);
    painter.drawRoundedRect(track, radius, radius);

    const qreal knobSize = track.height() - 4;
    const qreal x = isChecked() ? track.right() - 2 - knobSize : track.left() + 2;
    const QRectF knob(x, track.top() + 2, knobSize, knobSize);
    painter.setBrush(QColor(0, 0, 0, 40));
    painter.drawEllipse(knob.translated(0, 0.8));
    painter.setBrush(Qt::white);
    painter.drawEllipse(knob);
    // Around the track with a gap, so that it shows beside an on (accent)
    // track as well as an off one.
    if (hasFocus()) {
        const QRectF ring = QRectF(rect()).adjusted(1, 1, -1, -1);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRoundedRect(ring, ring.height() / 2, ring.height() / 2);
    }
}
