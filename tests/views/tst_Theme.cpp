// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StoreHarness.h"
#include "Theme.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(ThemeMode)
Q_DECLARE_METATYPE(AccentColorChoice)

namespace {

// Everything drawn below 18 px must reach this contrast (WCAG AA); focus
// rings and scroll bar handles this one.
constexpr qreal kMinimum = 4.5;
constexpr qreal kNonTextMinimum = 3;

// Collects every text colour that falls short on one of its backgrounds.
class ContrastAudit {
public:
    void check(const QString &what, const QColor &text, const QList<QColor> &backgrounds,
               qreal minimum = kMinimum)
    {
        for (const QColor &background : backgrounds) {
            const QColor seen = Appearance::composite(text, background);
            const qreal ratio = Appearance::contrastRatio(seen, background);
            if (ratio < minimum)
                m_failures.append(QStringLiteral("%1: %2 on %3 is %4:1")
                                      .arg(what, seen.name(), background.name())
                                      .arg(ratio, 0, 'f', 2));
        }
    }
    [[nodiscard]] QString report() const { return m_failures.join(QLatin1Char('\n')); }
    [[nodiscard]] bool passed() const { return m_failures.isEmpty(); }

private:
    QStringList m_failures;
};

// `layer` laid over each of `backgrounds`.
QList<QColor> under(const QColor &layer, const QList<QColor> &backgrounds)
{
    QList<QColor> result;
    for (const QColor &background : backgrounds)
        result.append(Appearance::composite(layer, background));
    return result;
}

} // namespace

class TestTheme : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void contrastHoldsEverywhere_data()
    {
        QTest::addColumn<ThemeMode>("mode");
        QTest::addColumn<AccentColorChoice>("accent");
        QTest::addColumn<bool>("darkDesktop");
        for (ThemeMode mode : allCases<ThemeMode>())
            for (AccentColorChoice accent : allCases<AccentColorChoice>())
                for (bool dark : {false, true})
                    QTest::addRow("%s, %s, %s desktop", qPrintable(rawValue(mode)),
                                  qPrintable(rawValue(accent)), dark ? "dark" : "light")
                        << mode << accent << dark;
    }

    // Every pair of text (or ring, or handle) and background colour the windows
    // draw, taken from
    // the theme the views draw with, over the lightest and darkest spots of
    // each backdrop (gradients under their glows at full strength).
    void contrastHoldsEverywhere()
    {
        QFETCH(ThemeMode, mode);
        QFETCH(AccentColorChoice, accent);
        QFETCH(bool, darkDesktop);
        const QPalette desktop = QGuiApplication::palette();
        QApplication::setPalette(
            Appearance::palette(darkDesktop ? ColorScheme::dark : ColorScheme::light));
        StoreHarness harness;
        harness.settings->setThemeMode(mode);
        harness.settings->setAccentColorChoice(accent);
        const Theme theme(*harness.settings);
        QApplication::setPalette(desktop);

        using Surface = Theme::Surface;
        auto samples = [&](Surface surface) {
            return Appearance::backdropSamples(theme.backdrop(surface));
        };
        const QList<QColor> settings = samples(Surface::settings);
        const QList<QColor> cards = under(theme.cardFill(), settings);
        const QList<QColor> popover = samples(Surface::popover);
        const QList<QColor> sidebar = samples(Surface::sidebar);
        const QList<QColor> detail = samples(Surface::detail);
        const QList<QColor> sheet{theme.windowBackground()};

        ContrastAudit audit;
        // Captions, counts, times, subtitles and empty states, where they lie.
        const QList<std::pair<const char *, QList<QColor>>> textGrounds{
            {"settings window", settings},
            {"settings card", cards},
            {"popover", popover},
            {"hovered popover row", under(theme.popoverRowHover(), popover)},
            {"sidebar", sidebar},
            {"selected day", under(theme.selectedDayFill(), sidebar)},
            {"hovered day", under(theme.hoveredDayFill(), sidebar)},
            {"detail column", detail},
            {"hovered history row", under(theme.rowHover(), detail)},
            {"item sheet", sheet},
        };
        for (const auto &[where, grounds] : textGrounds) {
            audit.check(QStringLiteral("secondary text on %1").arg(QLatin1String(where)),
                        theme.secondaryText(), grounds);
            audit.check(QStringLiteral("primary text on %1").arg(QLatin1String(where)),
                        theme.primaryText(), grounds);
            audit.check(QStringLiteral("focus ring on %1").arg(QLatin1String(where)),
                        theme.focusRing(), grounds, kNonTextMinimum);
            audit.check(QStringLiteral("scroll bar handle on %1").arg(QLatin1String(where)),
                        theme.scrollHandle(), grounds, kNonTextMinimum);
        }

        // Copy buttons.
        audit.check(QStringLiteral("copy button"), theme.onAccent(), {theme.accent()});

        // Buttons in every state, as each window styles them.
        struct ButtonCase {
            const char *what;
            Theme::ButtonStyle style;
            std::optional<QColor> tint;
            Surface surface;
            QList<QColor> grounds;
        };
        const auto settingsStyle =
            theme.isAurora() ? Theme::ButtonStyle::filled : Theme::ButtonStyle::bordered;
        const QList<ButtonCase> buttons{
            {"Export / Import", settingsStyle, std::nullopt, Surface::settings, cards},
            {"Delete", settingsStyle, NamedColors::red(), Surface::settings, cards},
            {"Open Dock App", Theme::ButtonStyle::filled, std::nullopt, Surface::popover, popover},
            {"Settings link", Theme::ButtonStyle::bordered, std::nullopt, Surface::popover,
             popover},
        };
        for (const ButtonCase &button : buttons) {
            const Theme::ButtonColors colors =
                theme.buttonColors(button.style, button.tint, button.surface);
            for (const QColor &plate : {colors.background, colors.hover, colors.pressed})
                audit.check(QLatin1String(button.what), colors.text, under(plate, button.grounds));
        }
        QVERIFY2(audit.passed(), qPrintable(audit.report()));
    }

    void systemThemeFollowsTheDesktop()
    {
        const QPalette desktop = QGuiApplication::palette();
        StoreHarness harness;
        Theme theme(*harness.settings);
        QCOMPARE(theme.scheme(), ColorScheme::light);
        QSignalSpy changed(&theme, &Theme::changed);

        QApplication::setPalette(Appearance::palette(ColorScheme::dark));
        QTRY_COMPARE(theme.scheme(), ColorScheme::dark);
        QCOMPARE(changed.size(), 1); // once, however many widgets heard of it

        // A forced theme stays put when the desktop switches.
        harness.settings->setThemeMode(ThemeMode::light);
        QCOMPARE(theme.scheme(), ColorScheme::light);
        changed.clear();
        QApplication::setPalette(desktop);
        QTest::qWait(20);
        QCOMPARE(theme.scheme(), ColorScheme::light);
        QCOMPARE(changed.size(), 0);
    }
};

QTEST_MAIN(TestTheme)
#include "tst_Theme.moc"
