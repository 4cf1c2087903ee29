// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Appearance.h"
#include "FakeDialogs.h"
#include "SettingsView.h"
#include "StoreHarness.h"
#include "Theme.h"

#include <QApplication>
#include <QDir>
#include <QTest>

// Pictures of the settings window under every theme, for a person to look
// at. Runs only when QUILLMARK_SCREENSHOT_DIR names a directory to write to.
class tst_SettingsScreenshots : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void themes_data();
    void themes();
};

void tst_SettingsScreenshots::themes_data()
{
    QTest::addColumn<ThemeMode>("theme");
    QTest::addColumn<bool>("darkDesktop");
    QTest::addColumn<AccentColorChoice>("accent");
    for (ThemeMode theme : allCases<ThemeMode>()) {
        const QString name = rawValue(theme);
        QTest::addRow("%s-light-desktop", qPrintable(name))
            << theme << false << AccentColorChoice::yellow;
        if (theme != ThemeMode::light && theme != ThemeMode::dark)
            QTest::addRow("%s-dark-desktop", qPrintable(name))
                << theme << true << AccentColorChoice::blue;
    }
}

void tst_SettingsScreenshots::themes()
{
    const QString dir = qEnvironmentVariable("QUILLMARK_SCREENSHOT_DIR");
    if (dir.isEmpty())
        QSKIP("set QUILLMARK_SCREENSHOT_DIR to take the pictures");
    QFETCH(ThemeMode, theme);
    QFETCH(bool, darkDesktop);
    QFETCH(AccentColorChoice, accent);

    Appearance::installApplicationStyle();
    QApplication::setPalette(
        Appearance::palette(darkDesktop ? ColorScheme::dark : ColorScheme::light));
    StoreHarness harness;
    harness.open();
    harness.settings->setThemeMode(theme);
    harness.settings->setAccentColorChoice(accent);
    harness.store->handleCopiedText(QStringLiteral("something copied"));
    FakeDialogs dialogs;
    Theme look(*harness.settings);
    SettingsView view(*harness.settings, *harness.store, dialogs, harness.clock, look);
    view.resize(900, 820);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.showBanner(QStringLiteral("History exported successfully."), darkDesktop);
    QTest::qWait(50);
    QDir().mkpath(dir);
    const QString base = dir + QLatin1Char('/') + QLatin1String(QTest::currentDataTag());
    QVERIFY(view.grab().save(base + QStringLiteral(".png")));
    // The whole form at once.
    view.resize(900, 1750);
    QTest::qWait(50);
    QVERIFY(view.grab().save(base + QStringLiteral("-full.png")));
}

QTEST_MAIN(tst_SettingsScreenshots)
#include "tst_SettingsScreenshots.moc"
