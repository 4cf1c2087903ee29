// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AppIcon.h"

#include <QApplication>
#include <QFile>
#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>

#include <memory>

namespace {

// Draws the SVG at each size the first time that size is asked for, and
// keeps it. Start-up then draws nothing (the first window, or the tray's
// own window, asks), and each size is drawn, not scaled from another, so
// small ones stay sharp.
class SvgIconEngine final : public QIconEngine {
public:
    explicit SvgIconEngine(QByteArray svg) : m_svg(std::move(svg)) {}
    SvgIconEngine(const SvgIconEngine &other) : QIconEngine(other), m_svg(other.m_svg) {}

    QIconEngine *clone() const override { return new SvgIconEngine(*this); }
    QString key() const override { return QStringLiteral("QuillmarkSvgIcon"); }
    bool isNull() override { return m_svg.isEmpty(); }

    // Square, like the drawing: a wide or tall request gets the largest
    // square that fits.
    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::max(0, std::min(size.width(), size.height()));
        return {side, side};
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        const QSize square = actualSize(size, mode, state);
        const quint64 key = quint64(square.width()) << 8 | quint64(mode);
        if (const auto found = m_drawn.constFind(key); found != m_drawn.cend())
            return *found;
        QPixmap drawn = QPixmap::fromImage(draw(square));
        // Disabled and selected looks come from the style, as for any icon.
        if (mode != QIcon::Normal && qobject_cast<QApplication *>(QCoreApplication::instance())) {
            QStyleOption option;
            drawn = QApplication::style()->generatedIconPixmap(mode, drawn, &option);
        }
        m_drawn.insert(key, drawn);
        return drawn;
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        // Drawn at the device's pixels, shown at the rectangle's size.
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const QPixmap drawn = pixmap(rect.size() * ratio, mode, state);
        const QSize shown = actualSize(rect.size(), mode, state);
        painter->drawPixmap(QRect(rect.topLeft() + QPoint((rect.width() - shown.width()) / 2,
                                                          (rect.height() - shown.height()) / 2),
                                  shown),
                            drawn);
    }

private:
    QImage draw(const QSize &size)
    {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        if (image.isNull())
            return image;
        if (!m_renderer)
            m_renderer = std::make_unique<QSvgRenderer>(m_svg);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        m_renderer->render(&painter);
        return image;
    }

    QByteArray m_svg;
    std::unique_ptr<QSvgRenderer> m_renderer; // parsed on the first draw
    QHash<quint64, QPixmap> m_drawn;          // by side and mode
};

} // namespace

namespace AppIcon {

QIcon icon()
{
    QFile file(QStringLiteral(":/quillmark/quillmark.svg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QIcon(new SvgIconEngine(file.readAll()));
}

} // namespace AppIcon
