// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AppWindowManager.h"
#include "ClipboardDetailSheet.h"
#include "ClipboardHistoryRow.h"
#include "ContentView.h"
#include "FakeDialogs.h"
#include "SettingsView.h"
#include "StoreHarness.h"
#include "Theme.h"

#include <QApplication>
#include <QDir>
#include <QListView>
#include <QTest>

// Renders the history window (a row hovered, a search marked, an item's
// sheet) and the settings window under each theme with a small sample
// history, and writes the images to QUILLMARK_SCREENSHOT_DIR, else
// <build>/tests/screenshots, for a person to look at. It checks only that
// the windows render and the images were written.
namespace {

QList<ClipboardItem> sampleHistory()
{
    return {
        makeItem(QStringLiteral("git commit -m \"Fix the retention rule for DST days\""),
                 localTime(2026, 12, 5, 21, 30, 12)),
        makeItem(QStringLiteral("https://doc.qt.io/qt-6/qtextlayout.html#draw"),
                 localTime(2026, 12, 5, 18, 2, 40)),
        makeItem(QStringLiteral("int main(int argc, char *argv[])\n{\n    QApplication app(argc, "
                                "argv);\n    return app.exec();\n}\n"),
                 localTime(2026, 12, 5, 11, 47, 5)),
        makeItem(QStringLiteral("Grüße aus Köln — the meeting moved to Thursday at 10:30. "
                                "Please bring the quarterly numbers and the git log summary "
                                "so that we can go through them together before lunch."),
                 localTime(2026, 12, 5, 9, 15, 0)),
        makeItem(QStringLiteral("ssh deploy@build-01.example.org"),
                 localTime(2026, 12, 3, 18, 0, 0)),
        makeItem(QStringLiteral("SELECT id, content FROM items WHERE created_at > now() - "
                                "interval '7 days';"),
                 localTime(2026, 12, 3, 8, 20, 0)),
        makeItem(QStringLiteral("meeting notes"), localTime(2026, 11, 20, 8, 45, 0)),
    };
}

QString outputDir()
{
    const QString dir = qEnvironmentVariable("QUILLMARK_SCREENSHOT_DIR");
    return dir.isEmpty() ? QStringLiteral(QT_TESTCASE_BUILDDIR "/screenshots") : dir;
}

bool save(QWidget *widget, const QString &kind)
{
    return widget->grab().save(
        QStringLiteral("%1/%2-%3.png").arg(outputDir(), kind, QTest::currentDataTag()));
}

} // namespace

Q_DECLARE_METATYPE(ThemeMode)
Q_DECLARE_METATYPE(AccentColorChoice)

class TestScreenshots : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        Appearance::installApplicationStyle();
        QVERIFY(QDir().mkpath(outputDir()));
    }

    void windows_data()
    {
        QTest::addColumn<ThemeMode>("theme");
        QTest::addColumn<bool>("darkDesktop");
        QTest::addColumn<AccentColorChoice>("accent");
        QTest::addColumn<QString>("search");
        using T = ThemeMode;
        using A = AccentColorChoice;
        QTest::newRow("system-light") << T::system << false << A::yellow << QString();
        QTest::newRow("system-darkdesktop") << T::system << true << A::yellow << QString();
        QTest::newRow("light") << T::light << false << A::red << QString();
        QTest::newRow("dark") << T::dark << false << A::blue << QStringLiteral("git");
        QTest::newRow("auroraBlue") << T::auroraBlue << false << A::blue << QString();
        QTest::newRow("auroraBlue-darkdesktop") << T::auroraBlue << true << A::neutral << QString();
        QTest::newRow("auroraEmber") << T::auroraEmber << false << A::red << QString();
        QTest::newRow("auroraGold") << T::auroraGold << false << A::yellow << QStringLiteral("the");
    }
    void windows()
    {
        QFETCH(ThemeMode, theme);
        QFETCH(bool, darkDesktop);
        QFETCH(AccentColorChoice, accent);
        QFETCH(QString, search);
        const QPalette desktop = QGuiApplication::palette();
        QApplication::setPalette(
            Appearance::palette(darkDesktop ? ColorScheme::dark : ColorScheme::light));

        StoreHarness harness;
        harness.writeHistory(sampleHistory());
        harness.open();
        harness.settings->setThemeMode(theme);
        harness.settings->setAccentColorChoice(accent);
        Theme look(*harness.settings);
        AppWindowManager manager(*harness.store, *harness.settings, look, &harness.pasteboard);
        manager.showMainWindow();
        QWidget *window = manager.mainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        ContentView *view = manager.contentView();
        view->setSearchText(search);

        // Hover the second row so that its background shows.
        QListView *list = view->itemList();
        if (list->model()->rowCount() > 1) {
            const QRect rect = list->visualRect(list->model()->index(1, 0));
            QTest::mouseMove(list->viewport(), QPoint(1, 1));
            QTest::mouseMove(list->viewport(), rect.center());
            const quint64 key =
                list->model()->index(1, 0).data(ClipboardHistoryRow::RowKeyRole).toULongLong();
            QTRY_COMPARE(view->rowDelegate()->hoverLevel(key), 1.0);
        }
        QApplication::processEvents();
        QVERIFY(save(window, QStringLiteral("browser")));

        if (!search.isEmpty() && !view->dayItems().isEmpty()) {
            view->openItem(view->dayItems().last());
            QVERIFY(view->sheet()->isVisible());
            QVERIFY(save(view->sheet(), QStringLiteral("sheet")));
            view->sheet()->reject();
        }
        manager.hideMainWindow();

        // The settings window with a banner (an error one on a dark
        // desktop), and the whole form at once when pictures were asked for
        // (a picture that size takes seconds to write).
        FakeDialogs dialogs;
        SettingsView settings(*harness.settings, *harness.store, dialogs, harness.clock, look);
        settings.resize(900, 820);
        settings.show();
        QVERIFY(QTest::qWaitForWindowExposed(&settings));
        settings.showBanner(QStringLiteral("History exported successfully."), darkDesktop);
        QApplication::processEvents();
        QVERIFY(save(&settings, QStringLiteral("settings")));
        if (qEnvironmentVariableIsSet("QUILLMARK_SCREENSHOT_DIR")) {
            settings.resize(900, 1750);
            QApplication::processEvents();
            QVERIFY(save(&settings, QStringLiteral("settings-full")));
        }
        QApplication::setPalette(desktop);
    }
};

QTEST_MAIN(TestScreenshots)
#include "tst_Screenshots.moc"
