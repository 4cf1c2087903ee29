// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FakeDialogs.h"
#include "QuitController.h"

#include <QSignalSpy>
#include <QTest>
#include <QWidget>

class TestQuitController : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void answers_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("heldNow");
        QTest::addColumn<Qt::KeyboardModifiers>("inEvent");
        QTest::addColumn<QString>("answer"); // button pressed, if asked
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("quits");

        const Qt::KeyboardModifiers none, alt(Qt::AltModifier), ctrl(Qt::ControlModifier);
        QTest::newRow("quit confirmed") << none << none << "Quit Quillmark" << true << true;
        QTest::newRow("keep running") << none << none << "Keep Running" << true << false;
        QTest::newRow("alt in the event") << none << (alt | ctrl) << QString() << false << true;
    }

    void answers()
    {
        QFETCH(Qt::KeyboardModifiers, heldNow);
        QFETCH(Qt::KeyboardModifiers, inEvent);
        QFETCH(QString, answer);
        QFETCH(bool, asked);
        QFETCH(bool, quits);

        FakeDialogs dialogs;
        if (!answer.isEmpty())
            dialogs.pressButton(answer);
        int stops = 0;
        QuitController controller(dialogs, [&] { ++stops; });
        controller.setModifierQuery([heldNow] { return heldNow; });
        QSignalSpy terminating(&controller, &QuitController::terminating);

        controller.requestTermination(inEvent);

        QCOMPARE(dialogs.confirmations().size(), asked ? 1 : 0);
        QCOMPARE(stops, quits ? 1 : 0);
        QCOMPARE(terminating.count(), quits ? 1 : 0);
    }

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
