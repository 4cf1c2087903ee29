// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "SettingsEnums.h"

#include <QColor>
#include <QList>
#include <QPalette>
#include <QRectF>

#include <optional>

class QPainter;
class QWidget;

enum class ColorScheme { light, dark };

// The fixed sRGB shades Quillmark uses wherever the design names a plain
// colour ("yellow", "gray", ...) or the window background. They are chosen
// once here so that every window, whatever the desktop's style, draws the
// same accents and highlight marks. Red, blue and green are deep enough for
// white text on them to reach a contrast of 4.5:1 (also through the banner's
// 0.88 opacity over a white backdrop).
struct NamedColors {
    static constexpr QColor yellow() { return QColor(255, 204, 0); }
    static constexpr QColor gray() { return QColor(142, 142, 147); }
    static constexpr QColor red() { return QColor(215, 0, 21); }
    static constexpr QColor blue() { return QColor(0, 100, 224); }
    static constexpr QColor green() { return QColor(20, 110, 50); }
    static constexpr QColor black() { return QColor(0, 0, 0); }
    static constexpr QColor white() { return QColor(255, 255, 255); }
    static constexpr QColor clear() { return QColor(0, 0, 0, 0); }

    static QColor windowBackground(ColorScheme scheme);
    // Text of lesser importance: captions, counts, timestamps.
    static QColor secondaryText(ColorScheme scheme);
    static QColor primaryText(ColorScheme scheme);
    // Hairlines between rows and around text areas.
    static QColor separator(ColorScheme scheme);
};

// Turns the appearance settings (theme, accent colour, font size) into the
// concrete values every window draws with. The value functions are pure; the
// helpers at the end apply or paint them.
namespace Appearance {

// light, dark, or nothing (follow the desktop).
[[nodiscard]] std::optional<ColorScheme> preferredScheme(ThemeMode mode);
[[nodiscard]] bool isAurora(ThemeMode mode);
// Three colours running top-left to bottom-right, or an empty list.
[[nodiscard]] QList<QColor> auroraGradientColors(ThemeMode mode, ColorScheme scheme);
// The glow of the theme, or a transparent colour for non-aurora themes.
[[nodiscard]] QColor auroraGlowColor(ThemeMode mode, ColorScheme scheme);
[[nodiscard]] QColor accentColor(AccentColorChoice choice);
// The colour of text and icons drawn on the accent colour.
[[nodiscard]] QColor accentForegroundColor(AccentColorChoice choice);
// Point size of item text in the history browser.
[[nodiscard]] qreal itemFontSize(FontSizeChoice choice);

// Whether the desktop currently prefers dark, judged from the application's
// palette as the platform theme delivered it (Qt 6.4 has no scheme hint).
[[nodiscard]] ColorScheme desktopScheme();
// The scheme a window under `mode` shows: the forced one, or the desktop's.
[[nodiscard]] ColorScheme effectiveScheme(ThemeMode mode);
// A complete Fusion palette for one scheme, built from the named colours.
[[nodiscard]] QPalette palette(ColorScheme scheme);

// Makes Quillmark's style (Fusion with our own scroll bars, dividers and
// focus marks) the application style, so that the palettes above look the
// same on every desktop. Call once after constructing the application.
void installApplicationStyle();

// `color` with its opacity multiplied by `opacity`.
[[nodiscard]] QColor withOpacity(QColor color, qreal opacity);
// The colour seen when `top` (with its opacity) lies over the opaque `bottom`.
[[nodiscard]] QColor composite(const QColor &top, const QColor &bottom);
// The contrast ratio of two opaque colours, from 1 to 21 (WCAG 2).
[[nodiscard]] qreal contrastRatio(const QColor &a, const QColor &b);
// `color` made darker (on a light background) or lighter (on a dark one)
// until it reaches `minimum` contrast against the opaque `background`.
[[nodiscard]] QColor readableOn(const QColor &color, const QColor &background, qreal minimum = 4.5);

// A radial glow centred on one corner of a backdrop.
struct Glow {
    Qt::Corner corner;
    qreal startRadius;
    qreal endRadius;
    QColor color;
    qreal opacity;
};

// What a window or column paints behind its content: the plain colour, or,
// when `gradient` is not empty, a diagonal gradient with glows over it.
struct Backdrop {
    QColor plain;
    QList<QColor> gradient;
    QList<Glow> glows;
};
void paintBackdrop(QPainter *painter, const QRectF &rect, const Backdrop &backdrop);
// The darkest and lightest colours a backdrop can show anywhere: its plain
// colour, or each gradient colour alone, under each glow at full strength
// and under all of them. Text readable on all of these is readable on it.
[[nodiscard]] QList<QColor> backdropSamples(const Backdrop &backdrop);

// Backdrop painting, shared by the browser, the popover and the settings
// window. Each paints one layer over `rect` (in the painter's coordinates).
// A linear gradient from the top-left to the bottom-right corner.
void paintLinearBackdrop(QPainter *painter, const QRectF &rect, const QList<QColor> &colors);
// A radial glow centred on `corner` of `rect`, running from `color` at
// `opacity` at `startRadius` to transparent at `endRadius`.
void paintRadialGlow(QPainter *painter, const QRectF &rect, Qt::Corner corner, qreal startRadius,
                     qreal endRadius, const QColor &color, qreal opacity);

} // namespace Appearance
