#include "StatusBanner.h"

#include "Appearance.h"

#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

StatusBanner::StatusBanner(QWidget *parent) : QWidget(parent), m_label(new QLabel(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 10, 14, 10);
    layout->addWidget(m_label, 1);
    QFont font = m_label->font();
    font.setPixelSize(13);
    font.setWeight(QFont::DemiBold);
    m_label->setFont(font);
    m_label->setWordWrap(true);
    m_label->setTextFormat(Qt::PlainText);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_label->setObjectName(QStringLiteral("bannerText"));
    QPalette labelPalette = m_label->palette();
    labelPalette.setColor(QPalette::WindowText, NamedColors::white());
    m_label->setPalette(labelPalette);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void StatusBanner::setMessage(const QString &message, bool isError)
{
    m_label->setText(message);
    m_isError = isError;
    update();
}

QString StatusBanner::message() const
{
    return m_label->text();
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
    QColor plate = m_isError ? NamedColors::red() : NamedColors::green();
    plate.setAlphaF(0.88f);
    painter.setPen(Qt::NoPen);
    painter.setBrush(plate);
    painter.drawRoundedRect(QRectF(rect()), 12, 12);
}
