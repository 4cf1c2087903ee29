// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ClipboardDetailSheet.h"

#include "CopyButton.h"
#include "DateFormatter.h"
#include "ItemTextView.h"
#include "Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The rounded outline around the text: gray at 0.25, 1 pixel, radius 8.
class OutlinedFrame : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor stroke = NamedColors::gray();
        stroke.setAlphaF(0.25f);
        painter.setPen(QPen(stroke, 1));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    }
};

} // namespace

ClipboardDetailSheet::ClipboardDetailSheet(const Theme &theme, QWidget *parent)
    : QDialog(parent), m_theme(theme), m_timestamp(new QLabel(this)),
      m_copyButton(new CopyButton(this)), m_text(new ItemTextView(this)),
      m_closeButton(new QPushButton(QStringLiteral("Close"), this))
{
    setWindowTitle(QStringLiteral("Clipboard Item"));
    setWindowModality(Qt::WindowModal);
    setMinimumSize(700, 500);
    setSizeGripEnabled(true);

    auto *title = new QLabel(QStringLiteral("Clipboard Item"), this);
    title->setFont(Theme::font(17, QFont::Bold));
    m_timestamp->setFont(Theme::font(13));
    m_timestamp->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *titles = new QVBoxLayout;
    titles->setSpacing(4);
    titles->addWidget(title);
    titles->addWidget(m_timestamp);
    auto *header = new QHBoxLayout;
    header->addLayout(titles);
    header->addStretch(1);
    header->addWidget(m_copyButton, 0, Qt::AlignTop);

    m_text->setFont(Theme::monospacedFont(13));
    m_text->setAccessibleName(QStringLiteral("Item text"));
    m_text->setMargin(16);

    auto *frame = new OutlinedFrame(this);
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(1, 1, 1, 1);
    frameLayout->addWidget(m_text);

    auto *footer = new QHBoxLayout;
    footer->addStretch(1);
    footer->addWidget(m_closeButton);
    m_closeButton->setAutoDefault(false);
    m_copyButton->setObjectName(QStringLiteral("copyButton"));
    m_closeButton->setObjectName(QStringLiteral("closeButton"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    layout->addLayout(header);
    layout->addWidget(frame, 1);
    layout->addLayout(footer);

    connect(m_copyButton, &CopyButton::clicked, this, [this] { Q_EMIT copyRequested(m_item); });
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::accept);
    applyTheme();
    connect(&m_theme, &Theme::changed, this, &ClipboardDetailSheet::applyTheme);
}

void ClipboardDetailSheet::applyTheme()
{
    m_theme.applyTo(this);
    m_copyButton->setColors(m_theme.accent(), m_theme.onAccent());
    QPalette palette = m_timestamp->palette();
    palette.setColor(QPalette::WindowText, m_theme.secondaryText());
    m_timestamp->setPalette(palette);
}

void ClipboardDetailSheet::setItem(const ClipboardItem &item, const QString &query)
{
    m_item = item;
    m_timestamp->setText(timestampFormatter().format(item.createdAt));
    m_text->setText(item.content, query);
    m_text->setFocus(Qt::OtherFocusReason);
}
