// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "Theme.h"

#include <QWidget>

// A panel that paints one of the theme's backdrops behind its children:
// the plain window colour, or an aurora composition of a diagonal gradient
// with radial glows in front of it.
class BackdropWidget : public QWidget {
    Q_OBJECT
public:
    BackdropWidget(const Theme &theme, Theme::Surface surface, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const Theme &m_theme;
    Theme::Surface m_surface;
};
