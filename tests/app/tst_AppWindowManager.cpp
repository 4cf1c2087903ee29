// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AppWindowManager.h"
#include "ContentView.h"
#include "StoreHarness.h"
#include "Theme.h"
#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class TestAppWindowManager : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstShowBuildsOneCentredWindow()
    {
        StoreHarness harness;
        harness.open();
        Theme theme(*harness.settings);
        AppWindowManager manager(*harness.store, *harness.settings, theme, &harness.pasteboard);
        QSignalSpy visibility(&manager, &AppWindowManager::isMainWindowVisibleChanged);
        QVERIFY(!manager.isMainWindowVisible());
        QVERIFY(!manager.mainWindow());

        manager.showMainWindow();
        QWidget *window = manager.mainWindow();
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(window->windowTitle(), QStringLiteral("Quillmark"));
        // 1200 x 820 where the screen has room, else as large as fits.
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(window->size(),
                 WindowPlacement::centredGeometry(QSize(1200, 820), available).size());
        // Centred with room for a title bar above; offscreen adds no frame,
        // so the window sits that much above the centre.
        const QRect screen = available;
        const QPoint centre = window->frameGeometry().center() +
                              QPoint(0, (WindowPlacement::kFrameAllowance.top() -
                                         WindowPlacement::kFrameAllowance.bottom()) /
                                            2);
        QVERIFY2((centre - screen.center()).manhattanLength() <= 6,
                 qPrintable(QStringLiteral("window centre %1,%2, screen %3,%4")
                                .arg(centre.x())
                                .arg(centre.y())
                                .arg(screen.center().x())
                                .arg(screen.center().y())));
        QVERIFY(manager.isMainWindowVisible());
        QCOMPARE(visibility.size(), 1);
        QCOMPARE(visibility.first().first().toBool(), true);

        // Showing again reuses the window and stays visible.
        manager.showMainWindow();
        QCOMPARE(manager.mainWindow(), window);
        QCOMPARE(visibility.size(), 1);
        QVERIFY(window->isVisible());
    }

    void closeHidesAndKeepsWindowWithItsState()
    {
        StoreHarness harness;
        harness.open();
        Theme theme(*harness.settings);
        AppWindowManager manager(*harness.store, *harness.settings, theme, &harness.pasteboard);
        manager.showMainWindow();
        QWidget *window = manager.mainWindow();
        QPointer<QWidget> alive(window);
        window->move(40, 30);
        window->resize(900, 600);
        manager.contentView()->setSearchText(QStringLiteral("kept"));
        QSignalSpy visibility(&manager, &AppWindowManager::isMainWindowVisibleChanged);

        QVERIFY(!window->close()); // the close button
        QVERIFY(alive);
        QVERIFY(!window->isVisible());
        QVERIFY(!manager.isMainWindowVisible());
        QCOMPARE(visibility.size(), 1);
        QCOMPARE(visibility.first().first().toBool(), false);

        manager.showMainWindow();
        QCOMPARE(manager.mainWindow(), window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->pos(), QPoint(40, 30));
        QCOMPARE(window->size(), QSize(900, 600));
        QCOMPARE(manager.contentView()->searchText(), QStringLiteral("kept"));
        QVERIFY(manager.isMainWindowVisible());
    }

    void hideWithoutWindowOnlyClearsFlag()
    {
        StoreHarness harness;
        harness.open();
        Theme theme(*harness.settings);
        AppWindowManager manager(*harness.store, *harness.settings, theme, &harness.pasteboard);
        QSignalSpy visibility(&manager, &AppWindowManager::isMainWindowVisibleChanged);
        manager.hideMainWindow();
        QVERIFY(!manager.mainWindow());
        QVERIFY(!manager.isMainWindowVisible());
        QCOMPARE(visibility.size(), 0);
    }

    void quittingIsNotRefusedByTheOpenWindow()
    {
        StoreHarness harness;
        harness.open();
        Theme theme(*harness.settings);
        AppWindowManager manager(*harness.store, *harness.settings, theme, &harness.pasteboard);
        manager.showMainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(manager.mainWindow()));
        bool quit = false;
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QTimer::singleShot(3000, qApp, [] { QCoreApplication::exit(1); });
        quit = QCoreApplication::exec() == 0;
        QVERIFY2(quit, "the open window refused the application's quit");
    }

    void minimisingKeepsTheFlag()
    {
        StoreHarness harness;
        harness.open();
        Theme theme(*harness.settings);
        AppWindowManager manager(*harness.store, *harness.settings, theme, &harness.pasteboard);
        manager.showMainWindow();
        manager.mainWindow()->showMinimized();
        QVERIFY(manager.isMainWindowVisible());
        manager.showMainWindow();
        QVERIFY(!manager.mainWindow()->isMinimized());
    }
};

QTEST_MAIN(TestAppWindowManager)
#include "tst_AppWindowManager.moc"
