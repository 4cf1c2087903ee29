// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "QuillmarkStyle.h"

#include "Symbols.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleFactory>
#include <QStyleOption>

namespace {

constexpr int kScrollBarExtent = 12;
constexpr int kHandleMinimumLength = 28;

bool isDark(const QPalette &palette)
{
    return palette.color(QPalette::WindowText).lightness() >
           palette.color(QPalette::Window).lightness();
}

// The text colour at a low opacity: dark on light themes, light on dark
// ones, so it reads as a hairline or a handle over any backdrop.
QColor inkFrom(const QPalette &palette, qreal opacity)
{
    QColor ink = isDark(palette) ? QColor(255, 255, 255) : QColor(0, 0, 0);
    ink.setAlphaF(float(opacity));
    return ink;
}

} // namespace

QuillmarkStyle::QuillmarkStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

int QuillmarkStyle::pixelMetric(PixelMetric metric, const QStyleOption *option,
                                const QWidget *widget) const
{
    switch (metric) {
    case PM_ScrollBarExtent:
        return kScrollBarExtent;
    case PM_ScrollBarSliderMin:
        return kHandleMinimumLength;
    case PM_ScrollView_ScrollBarOverlap:
        return 0;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

int QuillmarkStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                              QStyleHintReturn *returnData) const
{
    switch (hint) {
    case SH_ScrollBar_ContextMenu:
        return 0;
    case SH_ScrollBar_LeftClickAbsolutePosition:
        return 1;
    default:
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}

QRect QuillmarkStyle::subControlRect(ComplexControl control, const QStyleOptionComplex *option,
                                     SubControl subControl, const QWidget *widget) const
{
    const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option);
    if (control != CC_ScrollBar || !bar)
        return QProxyStyle::subControlRect(control, option, subControl, widget);

    // No arrow buttons: the groove is the whole bar.
    const QRect groove = bar->rect;
    const bool horizontal = bar->orientation == Qt::Horizontal;
    const int length = horizontal ? groove.width() : groove.height();
    const int range = bar->maximum - bar->minimum;
    int handle = length;
    if (range > 0) {
        const qint64 page = std::max(bar->pageStep, 1);
        handle = int(qint64(length) * page / (qint64(range) + page));
        handle = std::clamp(handle, std::min(kHandleMinimumLength, length), length);
    }
    const int start = sliderPositionFromValue(bar->minimum, bar->maximum, bar->sliderPosition,
                                              length - handle, bar->upsideDown);
    auto along = [&](int from, int size) {
        return horizontal ? QRect(groove.left() + from, groove.top(), size, groove.height())
                          : QRect(groove.left(), groove.top() + from, groove.width(), size);
    };
    switch (subControl) {
    case SC_ScrollBarGroove:
        return groove;
    case SC_ScrollBarSlider:
        return along(start, handle);
    case SC_ScrollBarSubPage:
        return along(0, start);
    case SC_ScrollBarAddPage:
        return along(start + handle, length - start - handle);
    default:
        return {};
    }
}

void QuillmarkStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                        QPainter *painter, const QWidget *widget) const
{
    const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option);
    if (control != CC_ScrollBar || !bar) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    if (bar->maximum <= bar->minimum)
        return; // nothing to scroll: no handle
    const bool hovered = bar->state & State_MouseOver;
    const bool pressed =
        (bar->state & State_Sunken) && (bar->activeSubControls & SC_ScrollBarSlider);
    QRectF handle = subControlRect(control, option, SC_ScrollBarSlider, widget);
    const bool horizontal = bar->orientation == Qt::Horizontal;
    // A slim handle that widens under the pointer, kept off the window edge.
    const qreal thickness = hovered || pressed ? 8 : 6;
    const qreal across = horizontal ? handle.height() : handle.width();
    const qreal inset = (across - thickness) / 2;
    handle =
        horizontal ? handle.adjusted(2, inset, -2, -inset) : handle.adjusted(inset, 2, -inset, -2);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    if (hovered || pressed) {
        QRectF track = QRectF(bar->rect);
        track = horizontal ? track.adjusted(2, inset, -2, -inset)
                           : track.adjusted(inset, 2, -inset, -2);
        painter->setBrush(inkFrom(bar->palette, 0.06));
        painter->drawRoundedRect(track, thickness / 2, thickness / 2);
    }
    QColor handleColor = m_scrollHandle.isValid() ? m_scrollHandle : inkFrom(bar->palette, 0.34);
    handleColor.setAlphaF(std::min(1.0f, handleColor.alphaF() + (pressed   ? 0.26f
                                                                 : hovered ? 0.14f
                                                                           : 0.0f)));
    painter->setBrush(handleColor);
    painter->drawRoundedRect(handle, thickness / 2, thickness / 2);
    painter->restore();
}

void QuillmarkStyle::drawControl(ControlElement element, const QStyleOption *option,
                                 QPainter *painter, const QWidget *widget) const
{
    if (element == CE_Splitter) {
        // A hairline in the theme's separator ink, whatever the handle width.
        const QRect r = option->rect;
        const bool vertical = r.width() >= r.height();
        const QRect line = vertical ? QRect(r.left(), r.center().y(), r.width(), 1)
                                    : QRect(r.center().x(), r.top(), 1, r.height());
        painter->fillRect(line, inkFrom(option->palette, isDark(option->palette) ? 0.16 : 0.13));
        return;
    }
    if (element == CE_ScrollBarAddLine || element == CE_ScrollBarSubLine)
        return;
    QProxyStyle::drawControl(element, option, painter, widget);
}

QIcon QuillmarkStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option,
                                   const QWidget *widget) const
{
    if (standardIcon != SP_LineEditClearButton)
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    // A mid grey reads on light and dark themes alike, so the button needs
    // no new icon when the appearance changes.
    return Symbols::icon(Symbol::xmarkCircleFill, QColor(128, 128, 128, 200));
}

void QuillmarkStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                   QPainter *painter, const QWidget *widget) const
{
    // Items in Quillmark's lists show focus with their own fill.
    if (element == PE_FrameFocusRect)
        return;
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}
