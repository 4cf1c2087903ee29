// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Theme.h"

#include "AppSettings.h"
#include "QuillmarkStyle.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPushButton>
#include <QWidget>

namespace {

QString css(const QColor &color)
{
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(color.alphaF(), 0, 'f', 3);
}

// `text` made readable on every one of `backgrounds`: 4.5:1 for text, 3:1
// for rings and handles.
QColor readableOnAll(QColor text, const QList<QColor> &backgrounds, qreal minimum = 4.5)
{
    // Each pass only darkens (light backgrounds) or lightens (dark ones);
    // a few passes settle a colour that was pushed by a later background.
    for (int pass = 0; pass < 4; ++pass) {
        const QColor before = text;
        for (const QColor &background : backgrounds)
            text = Appearance::readableOn(text, background, minimum);
        if (text == before)
            break;
    }
    return text;
}

} // namespace

Theme::Theme(const AppSettings &settings, QObject *parent) : QObject(parent), m_settings(settings)
{
    recompute();
    connect(&settings, &AppSettings::themeModeChanged, this, &Theme::recompute);
    connect(&settings, &AppSettings::accentColorChoiceChanged, this, &Theme::recompute);
    connect(&settings, &AppSettings::fontSizeChoiceChanged, this, &Theme::recompute);
    // The desktop's light or dark mode arrives as an application palette
    // change, sent to every widget; one recomputation covers them all.
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

bool Theme::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::ApplicationPaletteChange && !m_recomputeQueued &&
        !Appearance::preferredScheme(m_mode)) {
        m_recomputeQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_recomputeQueued = false;
                if (Appearance::effectiveScheme(m_mode) != m_scheme)
                    recompute();
            },
            Qt::QueuedConnection);
    }
    return false;
}

void Theme::recompute()
{
    m_mode = m_settings.themeMode();
    m_scheme = Appearance::effectiveScheme(m_mode);
    const AccentColorChoice choice = m_settings.accentColorChoice();
    m_accent = Appearance::accentColor(choice);
    m_onAccent = Appearance::accentForegroundColor(choice);
    m_itemFontSize = Appearance::itemFontSize(m_settings.fontSizeChoice());

    const QList<QColor> gradient = Appearance::auroraGradientColors(m_mode, m_scheme);
    const QColor glow = Appearance::auroraGlowColor(m_mode, m_scheme);
    const QColor plain = NamedColors::windowBackground(m_scheme);
    const bool aurora = !gradient.isEmpty();
    auto backdrop = [&](QList<Appearance::Glow> glows) {
        return aurora ? Appearance::Backdrop{plain, gradient, std::move(glows)}
                      : Appearance::Backdrop{plain, {}, {}};
    };
    m_backdrops[int(Surface::settings)] =
        backdrop({{Qt::TopRightCorner, 20, 600, glow, 0.28},
                  {Qt::BottomLeftCorner, 20, 650, m_accent, 0.12}});
    m_backdrops[int(Surface::popover)] =
        backdrop({{Qt::TopRightCorner, 20, 420, glow, 0.18},
                  {Qt::BottomLeftCorner, 20, 380, m_accent, 0.12}});
    m_backdrops[int(Surface::sidebar)] =
        backdrop({{Qt::TopRightCorner, 20, 420, glow, 0.18},
                  {Qt::BottomLeftCorner, 20, 380, m_accent, 0.08}});
    m_backdrops[int(Surface::detail)] = backdrop({{Qt::TopRightCorner, 30, 700, m_accent, 0.05}});

    m_palette = Appearance::palette(m_scheme);

    // Secondary text appears on every backdrop, on the fills laid over them
    // (cards, hovered rows, the selected day) and in text fields.
    QList<QColor> backgrounds{m_palette.color(QPalette::Base)};
    const QColor fills[] = {QColor(Qt::transparent), cardFill(), rowHover(), popoverRowHover(),
                            selectedDayFill()};
    for (const Appearance::Backdrop &surface : m_backdrops)
        for (const QColor &sample : Appearance::backdropSamples(surface))
            for (const QColor &fill : fills)
                backgrounds.append(Appearance::composite(fill, sample));
    m_secondaryText = readableOnAll(NamedColors::secondaryText(m_scheme), backgrounds);
    m_primaryText = readableOnAll(NamedColors::primaryText(m_scheme), backgrounds);
    m_palette.setColor(QPalette::PlaceholderText, m_secondaryText);
    m_palette.setColor(QPalette::WindowText,
                       readableOnAll(m_palette.color(QPalette::WindowText), backgrounds));
    const QColor highlight = readableOnAll(m_palette.color(QPalette::Highlight), backgrounds, 3);
    m_palette.setColor(QPalette::Highlight, highlight);
    m_palette.setColor(QPalette::HighlightedText,
                       Appearance::contrastRatio(NamedColors::white(), highlight) >= 4.5
                           ? NamedColors::white()
                           : NamedColors::black());
    // A handle of the text's ink, faint where the theme allows it.
    const QColor ink = isDark() ? NamedColors::white() : NamedColors::black();
    m_scrollHandle = readableOnAll(Appearance::withOpacity(ink, 0.34), backgrounds, 3);
    if (auto *style = qobject_cast<QuillmarkStyle *>(QApplication::style()))
        style->setScrollHandle(m_scrollHandle);
    Q_EMIT changed();
}

QColor Theme::windowBackground() const
{
    return NamedColors::windowBackground(m_scheme);
}

QColor Theme::separator() const
{
    return NamedColors::separator(m_scheme);
}

QColor Theme::cardFill() const
{
    // A plate a little lighter than the window (or, on an aurora backdrop,
    // a translucent one that lets the glow through; on a dark one a shade
    // darker, which keeps white text readable over the brightest glows).
    if (isAurora())
        return isDark() ? QColor(0, 0, 0, 40) : QColor(255, 255, 255, 150);
    return isDark() ? QColor(255, 255, 255, 12) : QColor(255, 255, 255, 200);
}

QColor Theme::rowHover() const
{
    return Appearance::withOpacity(m_accent, isDark() ? 0.18 : 0.1);
}

QColor Theme::popoverRowHover() const
{
    return Appearance::withOpacity(m_accent, isDark() ? 0.2 : 0.12);
}

QColor Theme::selectedDayFill() const
{
    return isDark() ? QColor(255, 255, 255, 36) : QColor(0, 0, 0, 26);
}

QColor Theme::hoveredDayFill() const
{
    return isDark() ? QColor(255, 255, 255, 14) : QColor(0, 0, 0, 10);
}

QColor Theme::bannerFill(bool isError) const
{
    return Appearance::withOpacity(isError ? NamedColors::red() : NamedColors::green(), 0.88);
}

const Appearance::Backdrop &Theme::backdrop(Surface surface) const
{
    return m_backdrops[int(surface)];
}

Theme::ButtonColors Theme::buttonColors(ButtonStyle style, std::optional<QColor> tint,
                                        Surface surface) const
{
    const bool accent = !tint;
    const QColor color = tint.value_or(m_accent);
    ButtonColors colors;
    if (style == ButtonStyle::filled) {
        colors.background = color;
        colors.text = accent ? m_onAccent : NamedColors::white();
        colors.border = Qt::transparent;
        colors.hover = color.lighter(108);
        colors.pressed = color.darker(115);
        return colors;
    }
    // Bordered. A given tint (the destructive red) is a wash of itself; the
    // accent sits on a neutral plate with an accent border, so that with
    // the red accent the data buttons still look unlike the Delete ones.
    if (accent) {
        colors.background = m_palette.color(QPalette::Button);
        colors.border = Appearance::withOpacity(color, 0.55);
        colors.hover =
            Appearance::composite(Appearance::withOpacity(color, 0.12), colors.background);
        colors.pressed =
            Appearance::composite(Appearance::withOpacity(color, 0.22), colors.background);
    } else {
        colors.background = Appearance::withOpacity(color, 0.14);
        colors.border = Qt::transparent;
        colors.hover = Appearance::withOpacity(color, 0.22);
        colors.pressed = Appearance::withOpacity(color, 0.3);
    }
    QList<QColor> under;
    for (const QColor &sample : Appearance::backdropSamples(backdrop(surface)))
        for (const QColor &plate : {colors.background, colors.hover, colors.pressed}) {
            const QColor base =
                surface == Surface::settings ? Appearance::composite(cardFill(), sample) : sample;
            under.append(Appearance::composite(plate, base));
        }
    colors.text = readableOnAll(color, under);
    return colors;
}

QString Theme::buttonStyleSheet(ButtonStyle style, std::optional<QColor> tint,
                                Surface surface) const
{
    const ButtonColors c = buttonColors(style, tint, surface);
    return QStringLiteral("QPushButton { background: %1; color: %2; border: 1px solid %3;"
                          " border-radius: 7px; padding: 5px 14px; font-weight: 600; }"
                          "QPushButton:hover { background: %4; }"
                          "QPushButton:pressed { background: %5; }"
                          "QPushButton:focus { border: 2px solid %6; padding: 4px 13px; }")
        .arg(css(c.background), css(c.text), css(c.border), css(c.hover), css(c.pressed),
             css(focusRing()));
}

QFont Theme::font(int pixelSize, QFont::Weight weight)
{
    QFont font = QApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QFont Theme::monospacedFont(int pixelSize, QFont::Weight weight)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

void Theme::applyTo(QWidget *window) const
{
    window->setPalette(m_palette);
    const QList<QPushButton *> buttons = window->findChildren<QPushButton *>();
    for (QPushButton *button : buttons)
        if (button->property("destructive").toBool())
            button->setStyleSheet(
                buttonStyleSheet(accentButtonStyle(), NamedColors::red(), Surface::detail));
}

void Theme::follow(QWidget *window) const
{
    applyTo(window);
    connect(this, &Theme::changed, window, [this, window] { applyTo(window); });
}
