// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AppIcon.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace AppIcon {

QIcon icon()
{
    QSvgRenderer renderer(QStringLiteral(":/quillmark/quillmark.svg"));
    QIcon result;
    if (!renderer.isValid())
        return result;
    // Drawn once per size instead of scaled, so small sizes stay sharp.
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        result.addPixmap(QPixmap::fromImage(image));
    }
    return result;
}

} // namespace AppIcon
