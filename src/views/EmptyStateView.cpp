// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "EmptyStateView.h"

#include "Theme.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int kSymbolSize = 44;
}

EmptyStateView::EmptyStateView(const Theme &theme, QWidget *parent)
    : QWidget(parent), m_theme(theme), m_symbolLabel(new QLabel(this)), m_title(new QLabel(this)),
      m_description(new QLabel(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(8);
    layout->addStretch(1);
    layout->addWidget(m_symbolLabel, 0, Qt::AlignHCenter);
    layout->addSpacing(4);
    // The texts span the full width and centre themselves: a wrapped label
    // given an alignment in the layout would be sized for one line and cut.
    layout->addWidget(m_title);
    layout->addWidget(m_description);
    layout->addStretch(1);

    m_title->setFont(Theme::font(17, QFont::Bold));
    m_description->setFont(Theme::font(13));
    for (QLabel *label : {m_title, m_description}) {
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setWordWrap(true);
        label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    }
    m_symbolLabel->setFixedSize(kSymbolSize, kSymbolSize);
    applyTheme();
    connect(&m_theme, &Theme::changed, this, &EmptyStateView::applyTheme);
}

void EmptyStateView::setContent(Symbol symbol, const QString &title, const QString &description)
{
    m_symbol = symbol;
    m_title->setText(title);
    m_description->setText(description);
    applyTheme();
}

QString EmptyStateView::title() const
{
    return m_title->text();
}

QString EmptyStateView::description() const
{
    return m_description->text();
}

void EmptyStateView::applyTheme()
{
    QPalette secondary = m_description->palette();
    secondary.setColor(QPalette::WindowText, m_theme.secondaryText());
    m_description->setPalette(secondary);
    m_symbolLabel->setPixmap(
        Symbols::pixmap(m_symbol, kSymbolSize, m_theme.secondaryText(), devicePixelRatioF()));
}
