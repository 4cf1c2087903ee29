// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Appearance.h"

#include "QuillmarkStyle.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QWidget>

namespace {

QColor rgb(double r, double g, double b)
{
    return QColor::fromRgbF(float(r), float(g), float(b));
}

} // namespace

QColor NamedColors::windowBackground(ColorScheme scheme)
{
    return scheme == ColorScheme::dark ? QColor(38, 38, 40) : QColor(236, 236, 238);
}

QColor NamedColors::secondaryText(ColorScheme scheme)
{
    return scheme == ColorScheme::dark ? QColor(235, 235, 245, 153) : QColor(60, 60, 67, 153);
}

QColor NamedColors::primaryText(ColorScheme scheme)
{
    return scheme == ColorScheme::dark ? QColor(255, 255, 255, 235) : QColor(0, 0, 0, 217);
}

QColor NamedColors::separator(ColorScheme scheme)
{
    return scheme == ColorScheme::dark ? QColor(255, 255, 255, 38) : QColor(0, 0, 0, 26);
}

namespace Appearance {

std::optional<ColorScheme> preferredScheme(ThemeMode mode)
{
    switch (mode) {
    case ThemeMode::light:
        return ColorScheme::light;
    case ThemeMode::dark:
        return ColorScheme::dark;
    case ThemeMode::system:
    case ThemeMode::auroraBlue:
    case ThemeMode::auroraEmber:
    case ThemeMode::auroraGold:
        break;
    }
    return std::nullopt;
}

bool isAurora(ThemeMode mode)
{
    return mode == ThemeMode::auroraBlue || mode == ThemeMode::auroraEmber ||
           mode == ThemeMode::auroraGold;
}

QList<QColor> auroraGradientColors(ThemeMode mode, ColorScheme scheme)
{
    const bool dark = scheme == ColorScheme::dark;
    switch (mode) {
    case ThemeMode::auroraBlue:
        if (dark)
            return {rgb(0.06, 0.08, 0.14), rgb(0.09, 0.12, 0.21), rgb(0.15, 0.10, 0.28)};
        return {rgb(0.98, 0.99, 1.00), rgb(0.95, 0.97, 1.00), rgb(0.92, 0.94, 0.99)};
    case ThemeMode::auroraEmber:
        if (dark)
            return {rgb(0.15, 0.07, 0.07), rgb(0.21, 0.10, 0.09), rgb(0.28, 0.12, 0.09)};
        return {rgb(1.00, 0.98, 0.97), rgb(1.00, 0.95, 0.93), rgb(0.99, 0.92, 0.90)};
    case ThemeMode::auroraGold:
        if (dark)
            return {rgb(0.14, 0.10, 0.06), rgb(0.20, 0.15, 0.08), rgb(0.28, 0.20, 0.10)};
        return {rgb(1.00, 0.99, 0.95), rgb(0.99, 0.97, 0.90), rgb(0.97, 0.94, 0.84)};
    case ThemeMode::system:
    case ThemeMode::light:
    case ThemeMode::dark:
        break;
    }
    return {};
}

QColor auroraGlowColor(ThemeMode mode, ColorScheme scheme)
{
    const bool dark = scheme == ColorScheme::dark;
    switch (mode) {
    case ThemeMode::auroraBlue:
        return dark ? rgb(0.46, 0.58, 1.00) : rgb(0.38, 0.50, 0.96);
    case ThemeMode::auroraEmber:
        return dark ? rgb(1.00, 0.45, 0.28) : rgb(1.00, 0.53, 0.34);
    case ThemeMode::auroraGold:
        return dark ? rgb(0.91, 0.74, 0.35) : rgb(0.83, 0.64, 0.28);
    case ThemeMode::system:
    case ThemeMode::light:
    case ThemeMode::dark:
        break;
    }
    return NamedColors::clear();
}

QColor accentColor(AccentColorChoice choice)
{
    switch (choice) {
    case AccentColorChoice::yellow:
        return NamedColors::yellow();
    case AccentColorChoice::neutral:
        return NamedColors::gray();
    case AccentColorChoice::red:
        return NamedColors::red();
    case AccentColorChoice::blue:
        return NamedColors::blue();
    }
    return NamedColors::yellow();
}

QColor accentForegroundColor(AccentColorChoice choice)
{
    switch (choice) {
    case AccentColorChoice::yellow:
    case AccentColorChoice::neutral:
        return NamedColors::black();
    case AccentColorChoice::red:
    case AccentColorChoice::blue:
        return NamedColors::white();
    }
    return NamedColors::black();
}

qreal itemFontSize(FontSizeChoice choice)
{
    switch (choice) {
    case FontSizeChoice::small:
        return 12;
    case FontSizeChoice::medium:
        return 14;
    case FontSizeChoice::large:
        return 16;
    }
    return 14;
}

ColorScheme desktopScheme()
{
    const QPalette desktop = QGuiApplication::palette();
    const QColor window = desktop.color(QPalette::Window);
    const QColor text = desktop.color(QPalette::WindowText);
    return text.lightness() > window.lightness() ? ColorScheme::dark : ColorScheme::light;
}

ColorScheme effectiveScheme(ThemeMode mode)
{
    return preferredScheme(mode).value_or(desktopScheme());
}

QPalette palette(ColorScheme scheme)
{
    const bool dark = scheme == ColorScheme::dark;
    const QColor window = NamedColors::windowBackground(scheme);
    const QColor text = dark ? QColor(236, 236, 236) : QColor(28, 28, 30);
    const QColor base = dark ? QColor(30, 30, 32) : QColor(255, 255, 255);
    const QColor alternate = dark ? QColor(44, 44, 46) : QColor(245, 245, 247);
    const QColor button = dark ? QColor(58, 58, 60) : QColor(242, 242, 244);
    const QColor disabledText = dark ? QColor(120, 120, 124) : QColor(160, 160, 164);

    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, alternate);
    p.setColor(QPalette::ToolTipBase, dark ? QColor(58, 58, 60) : QColor(255, 255, 240));
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, NamedColors::secondaryText(scheme));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, NamedColors::red());
    p.setColor(QPalette::Light, dark ? QColor(80, 80, 84) : QColor(255, 255, 255));
    p.setColor(QPalette::Midlight, dark ? QColor(68, 68, 72) : QColor(226, 226, 230));
    p.setColor(QPalette::Mid, dark ? QColor(48, 48, 50) : QColor(190, 190, 194));
    p.setColor(QPalette::Dark, dark ? QColor(20, 20, 22) : QColor(160, 160, 164));
    p.setColor(QPalette::Shadow, QColor(0, 0, 0, dark ? 200 : 110));
    p.setColor(QPalette::Highlight, NamedColors::blue());
    p.setColor(QPalette::HighlightedText, NamedColors::white());
    p.setColor(QPalette::Link, NamedColors::blue());
    p.setColor(QPalette::LinkVisited, NamedColors::blue().darker(120));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabledText);
    return p;
}

void installApplicationStyle()
{
    QApplication::setStyle(new QuillmarkStyle);
}

QColor withOpacity(QColor color, qreal opacity)
{
    color.setAlphaF(float(color.alphaF() * opacity));
    return color;
}

QColor composite(const QColor &top, const QColor &bottom)
{
    const qreal a = top.alphaF();
    return QColor::fromRgbF(float(top.redF() * a + bottom.redF() * (1 - a)),
                            float(top.greenF() * a + bottom.greenF() * (1 - a)),
                            float(top.blueF() * a + bottom.blueF() * (1 - a)));
}

namespace {

qreal relativeLuminance(const QColor &color)
{
    const auto linear = [](qreal c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) +
           0.0722 * linear(color.blueF());
}

} // namespace

qreal contrastRatio(const QColor &a, const QColor &b)
{
    const qreal la = relativeLuminance(a);
    const qreal lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor &color, const QColor &background, qreal minimum)
{
    const bool darken = relativeLuminance(background) > 0.18;
    QColor result = color;
    // Deeper and more opaque by small steps, so that a translucent grey
    // stays a grey (and stays apart from the primary text) where it can.
    for (int step = 0;
         step < 60 && contrastRatio(composite(result, background), background) < minimum; ++step) {
        result = darken ? result.darker(104) : result.lighter(104);
        result.setAlphaF(std::min(1.0f, result.alphaF() + 0.02f));
    }
    if (contrastRatio(composite(result, background), background) < minimum)
        result = darken ? NamedColors::black() : NamedColors::white();
    return result;
}

void paintBackdrop(QPainter *painter, const QRectF &rect, const Backdrop &backdrop)
{
    if (backdrop.gradient.isEmpty()) {
        painter->fillRect(rect, backdrop.plain);
        return;
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    paintLinearBackdrop(painter, rect, backdrop.gradient);
    for (const Glow &glow : backdrop.glows)
        paintRadialGlow(painter, rect, glow.corner, glow.startRadius, glow.endRadius, glow.color,
                        glow.opacity);
    painter->restore();
}

QList<QColor> backdropSamples(const Backdrop &backdrop)
{
    if (backdrop.gradient.isEmpty())
        return {backdrop.plain};
    QList<QColor> samples;
    for (const QColor &base : backdrop.gradient) {
        samples.append(base);
        QColor all = base;
        for (const Glow &glow : backdrop.glows) {
            const QColor top = withOpacity(glow.color, glow.opacity);
            samples.append(composite(top, base));
            all = composite(top, all);
        }
        samples.append(all);
    }
    return samples;
}

void paintLinearBackdrop(QPainter *painter, const QRectF &rect, const QList<QColor> &colors)
{
    if (colors.isEmpty())
        return;
    QLinearGradient gradient(rect.topLeft(), rect.bottomRight());
    const qsizetype last = colors.size() - 1;
    for (qsizetype i = 0; i <= last; ++i)
        gradient.setColorAt(last == 0 ? 0.0 : qreal(i) / qreal(last), colors.at(i));
    painter->fillRect(rect, gradient);
}

void paintRadialGlow(QPainter *painter, const QRectF &rect, Qt::Corner corner, qreal startRadius,
                     qreal endRadius, const QColor &color, qreal opacity)
{
    QPointF centre;
    switch (corner) {
    case Qt::TopLeftCorner:
        centre = rect.topLeft();
        break;
    case Qt::TopRightCorner:
        centre = rect.topRight();
        break;
    case Qt::BottomLeftCorner:
        centre = rect.bottomLeft();
        break;
    case Qt::BottomRightCorner:
        centre = rect.bottomRight();
        break;
    }
    const QColor inner = withOpacity(color, opacity);
    QColor outer = inner;
    outer.setAlpha(0);
    // An extended radial gradient: the ramp runs from the focal circle
    // (startRadius) out to the centre circle (endRadius); inside the start
    // radius the colour is solid, outside the end radius clear.
    QRadialGradient gradient(centre, endRadius, centre, startRadius);
    gradient.setColorAt(0, inner);
    gradient.setColorAt(1, outer);
    painter->fillRect(rect, gradient);
}

} // namespace Appearance
