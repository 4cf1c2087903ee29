// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "Appearance.h"

#include <QFont>
#include <QObject>
#include <QPalette>

#include <optional>

class AppSettings;
class QWidget;

// The one place where the appearance settings (theme, accent, font size)
// and the desktop's light or dark mode become the colours, fonts and style
// sheets the windows draw with. Everything is computed once per change;
// views read it and redraw on `changed`, which also fires when the desktop
// switches between light and dark while a theme follows it.
class Theme final : public QObject {
    Q_OBJECT
public:
    // The surfaces that paint a backdrop of their own.
    enum class Surface { settings, popover, sidebar, detail };
    // Filled: the tint behind the title ("prominent"). Bordered: a wash of
    // the tint with a tinted title.
    enum class ButtonStyle { filled, bordered };

    struct ButtonColors {
        QColor background;
        QColor text;
        QColor border; // transparent for none
        QColor hover;
        QColor pressed;
    };

    explicit Theme(const AppSettings &settings, QObject *parent = nullptr);

    [[nodiscard]] ColorScheme scheme() const { return m_scheme; }
    [[nodiscard]] bool isAurora() const { return Appearance::isAurora(m_mode); }
    [[nodiscard]] bool isDark() const { return m_scheme == ColorScheme::dark; }
    [[nodiscard]] const QPalette &palette() const { return m_palette; }

    [[nodiscard]] QColor accent() const { return m_accent; }
    // Text and icons drawn on the accent colour.
    [[nodiscard]] QColor onAccent() const { return m_onAccent; }
    [[nodiscard]] QColor windowBackground() const;
    [[nodiscard]] QColor primaryText() const { return m_primaryText; }
    // Captions, counts, times and subtitles: readable at 11 px on every
    // surface of the theme.
    [[nodiscard]] QColor secondaryText() const { return m_secondaryText; }
    [[nodiscard]] QColor separator() const;
    // The plate behind the settings window's groups of rows.
    [[nodiscard]] QColor cardFill() const;
    // Hovered rows: the accent at 0.1 (light) or 0.18 (dark) in the history
    // window, 0.12 or 0.2 in the popover.
    [[nodiscard]] QColor rowHover() const;
    [[nodiscard]] QColor popoverRowHover() const;
    // The selected and the hovered day in the history window's sidebar.
    [[nodiscard]] QColor selectedDayFill() const;
    [[nodiscard]] QColor hoveredDayFill() const;
    [[nodiscard]] QColor bannerFill(bool isError) const;
    // Focus rings (also the palette's Highlight, under the white or black
    // HighlightedText that reads on it) and scroll bar handles: at least
    // 3:1 against every surface and fill of the theme they are drawn on.
    [[nodiscard]] QColor focusRing() const { return m_palette.color(QPalette::Highlight); }
    [[nodiscard]] QColor scrollHandle() const { return m_scrollHandle; }
    [[nodiscard]] QColor bannerText() const { return NamedColors::white(); }

    [[nodiscard]] const Appearance::Backdrop &backdrop(Surface surface) const;

    // `tint` defaults to the accent colour. The title colour is chosen to
    // read at 4.5:1 on the button as it lies over `surface`.
    [[nodiscard]] ButtonColors buttonColors(ButtonStyle style, std::optional<QColor> tint = {},
                                            Surface surface = Surface::settings) const;
    [[nodiscard]] QString buttonStyleSheet(ButtonStyle style, std::optional<QColor> tint = {},
                                           Surface surface = Surface::settings) const;

    // The interface font at a pixel size, and the monospaced one.
    [[nodiscard]] static QFont font(int pixelSize, QFont::Weight weight = QFont::Normal);
    [[nodiscard]] static QFont monospacedFont(int pixelSize, QFont::Weight weight = QFont::Normal);
    // The history window's item text size in pixels.
    [[nodiscard]] qreal itemFontSize() const { return m_itemFontSize; }

    // Gives a window (and so its children) the theme's palette, and keeps
    // it in step with every later change.
    void follow(QWidget *window) const;
    // The palette, and red to the buttons whose "destructive" property is
    // set (a dialog's Delete or Change).
    void applyTo(QWidget *window) const;
    // How the settings window and the dialogs draw a tinted button: filled
    // under an aurora theme, bordered otherwise.
    [[nodiscard]] ButtonStyle accentButtonStyle() const
    {
        return isAurora() ? ButtonStyle::filled : ButtonStyle::bordered;
    }

Q_SIGNALS:
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void recompute();

    const AppSettings &m_settings;
    ThemeMode m_mode = ThemeMode::system;
    ColorScheme m_scheme = ColorScheme::light;
    QPalette m_palette;
    QColor m_accent;
    QColor m_onAccent;
    QColor m_secondaryText;
    QColor m_primaryText;
    QColor m_scrollHandle;
    qreal m_itemFontSize = 14;
    Appearance::Backdrop m_backdrops[4];
    bool m_recomputeQueued = false;
};
