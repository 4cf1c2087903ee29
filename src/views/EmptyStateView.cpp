#include "EmptyStateView.h"

#include "Symbols.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int kSymbolSize = 44;
}

EmptyStateView::EmptyStateView(QWidget *parent)
    : QWidget(parent), m_symbolLabel(new QLabel(this)), m_title(new QLabel(this)),
      m_description(new QLabel(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(8);
    layout->addStretch(1);
    layout->addWidget(m_symbolLabel, 0, Qt::AlignHCenter);
    layout->addSpacing(4);
    layout->addWidget(m_title, 0, Qt::AlignHCenter);
    layout->addWidget(m_description, 0, Qt::AlignHCenter);
    layout->addStretch(1);

    QFont titleFont = font();
    titleFont.setPixelSize(17);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setWordWrap(true);
    QFont descriptionFont = font();
    descriptionFont.setPixelSize(13);
    m_description->setFont(descriptionFont);
    m_description->setAlignment(Qt::AlignCenter);
    m_description->setWordWrap(true);
    m_symbolLabel->setFixedSize(kSymbolSize, kSymbolSize);
    setColorScheme(m_scheme);
}

void EmptyStateView::setContent(const QString &symbol, const QString &title,
                                const QString &description)
{
    m_symbol = symbol;
    m_title->setText(title);
    m_description->setText(description);
    updateSymbol();
}

void EmptyStateView::setColorScheme(ColorScheme scheme)
{
    m_scheme = scheme;
    QPalette secondary = m_description->palette();
    secondary.setColor(QPalette::WindowText, NamedColors::secondaryText(scheme));
    m_description->setPalette(secondary);
    updateSymbol();
}

QString EmptyStateView::title() const
{
    return m_title->text();
}

QString EmptyStateView::description() const
{
    return m_description->text();
}

void EmptyStateView::updateSymbol()
{
    m_symbolLabel->setPixmap(Symbols::pixmap(
        m_symbol, kSymbolSize, NamedColors::secondaryText(m_scheme), devicePixelRatioF()));
}
