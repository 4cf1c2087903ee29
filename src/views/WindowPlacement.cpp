// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace WindowPlacement {

QRect centredGeometry(QSize size, QRect available, QMargins frame)
{
    const QSize room = available.marginsRemoved(frame).size();
    const QSize fitted = size.boundedTo(room).expandedTo(QSize(1, 1));
    QRect client(QPoint(0, 0), fitted);
    client.moveCenter(available.marginsRemoved(frame).center());
    return client;
}

void placeCentred(QWidget *window, QSize size)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect client = centredGeometry(size, screen->availableGeometry());
    window->setMinimumSize(window->minimumSize().boundedTo(client.size()));
    window->resize(client.size());
    // move() places the frame's corner; the frame is the allowance around
    // the client area.
    window->move(client.topLeft() - QPoint(kFrameAllowance.left(), kFrameAllowance.top()));
}

} // namespace WindowPlacement
