// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "BackdropWidget.h"

#include <QPainter>

BackdropWidget::BackdropWidget(const Theme &theme, Theme::Surface surface, QWidget *parent)
    : QWidget(parent), m_theme(theme), m_surface(surface)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&m_theme, &Theme::changed, this, qOverload<>(&QWidget::update));
}

void BackdropWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Appearance::paintBackdrop(&painter, QRectF(rect()), m_theme.backdrop(m_surface));
}
