// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "CopyButton.h"

#include "Symbols.h"
#include "Theme.h"

#include <QFocusEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr qreal kHorizontalPadding = 14;
constexpr qreal kVerticalPadding = 7;
constexpr qreal kSpacing = 6;
constexpr qreal kCornerRadius = 10;

QFont labelFont()
{
    return Theme::font(13, QFont::Bold);
}

QString labelText()
{
    return QStringLiteral("Copy");
}

} // namespace

CopyButton::CopyButton(QWidget *parent)
    : QAbstractButton(parent), m_accent(Appearance::accentColor(AccentColorChoice::yellow)),
      m_foreground(Appearance::accentForegroundColor(AccentColorChoice::yellow))
{
    setText(labelText());
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void CopyButton::setColors(const QColor &accent, const QColor &foreground)
{
    m_accent = accent;
    m_foreground = foreground;
    update();
}

QSize CopyButton::sizeHint() const
{
    return lookSize().toSize();
}

QSizeF CopyButton::lookSize(qreal minimumHeight)
{
    const QFontMetricsF metrics(labelFont());
    const qreal iconSide = metrics.height();
    const qreal width =
        kHorizontalPadding * 2 + iconSide + kSpacing + metrics.horizontalAdvance(labelText());
    const qreal height = std::max(kVerticalPadding * 2 + metrics.height(), minimumHeight);
    return {std::ceil(width), std::ceil(height)};
}

void CopyButton::paintLook(QPainter *painter, const QRectF &rect, const QColor &accent,
                           const QColor &foreground, bool pressed)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (pressed)
        painter->setOpacity(painter->opacity() * 0.7);
    QPainterPath shape;
    shape.addRoundedRect(rect, kCornerRadius, kCornerRadius);
    painter->fillPath(shape, accent);

    const QFont font = labelFont();
    const QFontMetricsF metrics(font);
    const qreal iconSide = metrics.height();
    const qreal contentWidth = iconSide + kSpacing + metrics.horizontalAdvance(labelText());
    const qreal left = rect.center().x() - contentWidth / 2;
    const QRectF iconRect(left, rect.center().y() - iconSide / 2, iconSide, iconSide);
    Symbols::paint(painter, Symbol::documentOnDocument, iconRect.adjusted(1, 1, -1, -1),
                   foreground);
    painter->setFont(font);
    painter->setPen(foreground);
    const QRectF textRect(iconRect.right() + kSpacing, rect.top(),
                          rect.right() - iconRect.right() - kSpacing, rect.height());
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, labelText());
    painter->restore();
}

void CopyButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintLook(&painter, QRectF(rect()), m_accent, m_foreground, isDown());
    // A thin ring, and only when the keyboard brought the focus here.
    if (hasFocus() && m_keyboardFocus) {
        painter.setRenderHint(QPainter::Antialiasing);
        // Inside the accent plate, in its title colour: the ring reads on
        // the button whatever the accent.
        painter.setPen(QPen(m_foreground, 1.5));
        painter.drawRoundedRect(QRectF(rect()).adjusted(2.5, 2.5, -2.5, -2.5), kCornerRadius - 2,
                                kCornerRadius - 2);
    }
}

void CopyButton::focusInEvent(QFocusEvent *event)
{
    m_keyboardFocus = event->reason() == Qt::TabFocusReason ||
                      event->reason() == Qt::BacktabFocusReason ||
                      event->reason() == Qt::ShortcutFocusReason;
    QAbstractButton::focusInEvent(event);
}
