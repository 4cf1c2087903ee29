// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AppWindowManager.h"
#include "ClipboardDetailSheet.h"
#include "ClipboardHistoryRow.h"
#include "ContentView.h"
#include "StoreHarness.h"
#include "Theme.h"

#include <QApplication>
#include <QDir>
#include <QListView>
#include <QTest>

// Renders the history window under each theme with a small sample history
// and writes the images to <build>/tests/screenshots, for a person to look
// at. It checks only that the images were written.
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
    return QStringLiteral(QT_TESTCASE_BUILDDIR "/screenshots");
}

} // namespace

Q_DECLARE_METATYPE(ThemeMode)
Q_DECLARE_METATYPE(AccentColorChoice)

class TestBrowserScreenshots : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(QDir().mkpath(outputDir())); }

    void window_data()
    {
        QTest::addColumn<ThemeMode>("theme");
        QTest::addColumn<bool>("darkDesktop");
        QTest::addColumn<AccentColorChoice>("accent");
        QTest::addColumn<QString>("search");
        QTest::newRow("system-light")
            << ThemeMode::system << false << AccentColorChoice::yellow << QString();
        QTest::newRow("dark") << ThemeMode::dark << false << AccentColorChoice::blue
                              << QStringLiteral("git");
        QTest::newRow("auroraBlue")
            << ThemeMode::auroraBlue << false << AccentColorChoice::blue << QString();
        QTest::newRow("auroraEmber")
            << ThemeMode::auroraEmber << false << AccentColorChoice::red << QString();
        QTest::newRow("auroraGold")
            << ThemeMode::auroraGold << false << AccentColorChoice::yellow << QStringLiteral("the");
        QTest::newRow("auroraBlue-darkdesktop")
            << ThemeMode::auroraBlue << true << AccentColorChoice::neutral << QString();
        QTest::newRow("system-darkdesktop")
            << ThemeMode::system << true << AccentColorChoice::yellow << QString();
    }
    void window()
    {
        QFETCH(ThemeMode, theme);
        QFETCH(bool, darkDesktop);
        QFETCH(AccentColorChoice, accent);
        QFETCH(QString, search);
        const QPalette desktop = QGuiApplication::palette();
        if (darkDesktop)
            QApplication::setPalette(Appearance::palette(ColorScheme::dark));

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
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        const QString path = outputDir() + QStringLiteral("/browser-%1.png").arg(name);
        QVERIFY(window->grab().save(path));

        if (!search.isEmpty() && !view->dayItems().isEmpty()) {
            view->openItem(view->dayItems().last());
            QVERIFY(view->sheet()->isVisible());
            QVERIFY(view->sheet()->grab().save(outputDir() +
                                               QStringLiteral("/sheet-%1.png").arg(name)));
            view->sheet()->reject();
        }
        manager.hideMainWindow();
        QApplication::setPalette(desktop);
    }
};

QTEST_MAIN(TestBrowserScreenshots)
#include "tst_BrowserScreenshots.moc"
