// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QProxyStyle>

// Fusion with Quillmark's own scroll bars (thin rounded handles without
// arrow buttons, in the theme's handle colour so they show on every
// theme and backdrop), hairline splitter handles and no dotted focus
// rectangles, and a search field's clear button painted by Quillmark (no
// icon-theme lookup). One look for all windows, whatever the desktop's style.
class QuillmarkStyle final : public QProxyStyle {
    Q_OBJECT
public:
    QuillmarkStyle();

    [[nodiscard]] int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                                  const QWidget *widget = nullptr) const override;
    [[nodiscard]] int styleHint(StyleHint hint, const QStyleOption *option = nullptr,
                                const QWidget *widget = nullptr,
                                QStyleHintReturn *returnData = nullptr) const override;
    [[nodiscard]] QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option,
                                       SubControl subControl,
                                       const QWidget *widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    [[nodiscard]] QIcon standardIcon(StandardPixmap standardIcon,
                                     const QStyleOption *option = nullptr,
                                     const QWidget *widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;

    // The theme's handle colour, which it has checked against every
    // surface; without one, handles are the widget's text ink.
    void setScrollHandle(const QColor &color) { m_scrollHandle = color; }

private:
    QColor m_scrollHandle;
};
