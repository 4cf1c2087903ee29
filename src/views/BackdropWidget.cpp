#include "BackdropWidget.h"

#include "Appearance.h"

#include <QPainter>

BackdropWidget::BackdropWidget(QWidget *parent)
    : QWidget(parent), m_plain(NamedColors::windowBackground(ColorScheme::light))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BackdropWidget::setAurora(const QList<QColor> &gradient, const QList<Glow> &glows)
{
    m_gradient = gradient;
    m_glows = glows;
    update();
}

void BackdropWidget::setPlainColor(const QColor &color)
{
    m_plain = color;
    update();
}

void BackdropWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRectF area(rect());
    if (m_gradient.isEmpty()) {
        painter.fillRect(area, m_plain);
        return;
    }
    Appearance::paintLinearBackdrop(&painter, area, m_gradient);
    for (const Glow &glow : m_glows)
        Appearance::paintRadialGlow(&painter, area, glow.corner, glow.startRadius, glow.endRadius,
                                    glow.color, glow.opacity);
}
