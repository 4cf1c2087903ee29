// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FakeDialogs.h"
#include "QuitController.h"

#include <QTest>
#include <QWidget>

class TestQuitController : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // What each answer of the alert does is tst_AppDelegate's; that Alt
    // skips it, test_lifecycle's.
    void ctrlQInAnyWindowAsks_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("asks");
        const Qt::KeyboardModifiers ctrl(Qt::ControlModifier);
        QTest::newRow("ctrl+q") << ctrl << int(Qt::Key_Q) << true;
        QTest::newRow("plain q is typing") << Qt::KeyboardModifiers() << int(Qt::Key_Q) << false;
        QTest::newRow("ctrl+shift+q") << (ctrl | Qt::ShiftModifier) << int(Qt::Key_Q) << false;
    }

    void ctrlQInAnyWindowAsks()
    {
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, key);
        QFETCH(bool, asks);

        FakeDialogs dialogs;
        dialogs.pressButton(QStringLiteral("Keep Running"));
        int stops = 0;
        QuitController controller(dialogs, [&] { ++stops; });
        controller.setModifierQuery([] { return Qt::KeyboardModifiers(); });
        controller.install();

        QWidget someWindow;
        someWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&someWindow));
        QTest::keyClick(&someWindow, Qt::Key(key), modifiers);

        QCOMPARE(dialogs.confirmations().size(), asks ? 1 : 0);
        QCOMPARE(stops, 0);
    }
};

QTEST_MAIN(TestQuitController)
#include "tst_QuitController.moc"
