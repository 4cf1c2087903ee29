// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AppWindowManager.h"
#include "StoreHarness.h"
#include "Theme.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

// The window manager over a store of fakes.
struct Windows {
    StoreHarness harness;
    ClipboardStore &store = harness.open();
    Theme theme{*harness.settings};
    AppWindowManager manager{store, *harness.settings, theme, &harness.pasteboard};
};

QLineEdit *search(QWidget *window)
{
    return window->findChild<QLineEdit *>(QStringLiteral("searchField"));
}

} // namespace

class TestAppWindowManager : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Its size and place on a real screen are test_windows' checks. Closed,
    // the window is hidden and kept with its state.
    void firstShowBuildsOneWindowThatCloseKeeps()
    {
        Windows windows;
        AppWindowManager &manager = windows.manager;
        QSignalSpy visibility(&manager, &AppWindowManager::isMainWindowVisibleChanged);
        manager.showMainWindow();
        QWidget *window = manager.mainWindow();
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QVERIFY(manager.isMainWindowVisible());
        QCOMPARE(visibility.size(), 1);

        QPointer<QWidget> alive(window);
        search(window)->setText(QStringLiteral("kept"));
        QVERIFY(!window->close()); // the close button
        QVERIFY(alive);
        QVERIFY(!window->isVisible());
        QVERIFY(!manager.isMainWindowVisible());
        QCOMPARE(visibility.last().first().toBool(), false);

        manager.showMainWindow();
        QCOMPARE(manager.mainWindow(), window);
        QVERIFY(window->isVisible());
        QCOMPARE(search(window)->text(), QStringLiteral("kept"));
    }
};

QTEST_MAIN(TestAppWindowManager)
#include "tst_AppWindowManager.moc"
