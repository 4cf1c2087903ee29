// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StatusBanner.h"

#include "Theme.h"

#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

StatusBanner::StatusBanner(const Theme &theme, QWidget *parent)
    : QWidget(parent), m_theme(theme), m_label(new QLabel(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 10, 14, 10);
    layout->addWidget(m_label, 1);
    m_label->setFont(Theme::font(13, QFont::DemiBold));
    m_label->setWordWrap(true);
    m_label->setTextFormat(Qt::PlainText);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_label->setObjectName(QStringLiteral("bannerText"));
    QPalette labelPalette = m_label->palette();
    labelPalette.setColor(QPalette::WindowText, m_theme.bannerText());
    m_label->setPalette(labelPalette);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void StatusBanner::setMessage(const QString &message, bool isError)
{
    m_label->setText(message);
    m_isError = isError;
    update();
}

void StatusBanner::setShadowed(bool shadowed)
{
    if (!shadowed) {
        setGraphicsEffect(nullptr);
        return;
    }
    auto *shadow = new QGraphicsDropShadowEffect(this);
    shadow->setColor(QColor(0, 0, 0, 38));
    shadow->setBlurRadius(12);
    shadow->setOffset(0, 4);
    setGraphicsEffect(shadow);
}

void StatusBanner::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_theme.bannerFill(m_isError));
    painter.drawRoundedRect(QRectF(rect()), 12, 12);
}
