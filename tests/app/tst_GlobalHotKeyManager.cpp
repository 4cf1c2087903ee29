// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FakeHotKeyRegistrar.h"
#include "GlobalHotKeyManager.h"
#include "StdoutCapture.h"

#include <QTest>

Q_DECLARE_METATYPE(HotKeyStatus)

class TestGlobalHotKeyManager : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void registersAltShiftVPostsItsOwnPressesOnlyAndReregisters();
    void failuresArePrintedAndLeaveNothingBehind_data();
    void failuresArePrintedAndLeaveNothingBehind();
};

void TestGlobalHotKeyManager::registersAltShiftVPostsItsOwnPressesOnlyAndReregisters()
{
    auto registrar = std::make_unique<FakeHotKeyRegistrar>();
    auto *fake = registrar.get();
    int toggles = 0;
    GlobalHotKeyManager manager(std::move(registrar), [&] { ++toggles; });
    QVERIFY(manager.isActive());
    QVERIFY(fake->handlerInstalled && fake->registered);
    QCOMPARE(fake->registeredKey, Qt::Key_V);
    QCOMPARE(fake->registeredModifiers, Qt::ShiftModifier | Qt::AltModifier);

    // Other signatures and identifiers are someone else's.
    for (const HotKeyId foreign : {HotKeyId{fourCharCode(QStringLiteral("ABCD")), 1},
                                   HotKeyId{fourCharCode(QStringLiteral("QMHK")), 2}, HotKeyId{}})
        fake->press(foreign);
    // A press is posted, not run inside the event handler.
    fake->press(fake->registeredId);
    QCOMPARE(toggles, 0);
    QTRY_COMPARE(toggles, 1);
    fake->press(fake->registeredId);
    fake->press(fake->registeredId);
    QTRY_COMPARE(toggles, 3);
    QCoreApplication::processEvents();
    QCOMPARE(toggles, 3);

    // Registering again releases the old grab first, whatever comes of it.
    fake->nextRegisterStatus = {10, {}};
    StdoutCapture output;
    manager.registerHotKey();
    QCOMPARE(output.text(), QByteArray("Failed to register global hotkey: 10\n"));
    QVERIFY(!fake->registered && !fake->handlerInstalled);
    fake->nextRegisterStatus = {};
    manager.registerHotKey();
    QVERIFY(manager.isActive());
    QCOMPARE(fake->registerCalls, 3);
}

void TestGlobalHotKeyManager::failuresArePrintedAndLeaveNothingBehind_data()
{
    QTest::addColumn<HotKeyStatus>("install");
    QTest::addColumn<HotKeyStatus>("grab");
    QTest::addColumn<QByteArray>("printed");
    QTest::addColumn<int>("registerCalls");
    QTest::newRow("grab refused (BadAccess)")
        << HotKeyStatus{} << HotKeyStatus{10, {}}
        << QByteArray("Failed to register global hotkey: 10\n") << 1;
    QTest::newRow("no key grab on this platform")
        << HotKeyStatus{-1, QStringLiteral("no global key grab on the wayland platform")}
        << HotKeyStatus{}
        << QByteArray("Failed to install hotkey event handler: -1 (no global key grab on the "
                      "wayland platform)\n")
        << 0;
}

void TestGlobalHotKeyManager::failuresArePrintedAndLeaveNothingBehind()
{
    QFETCH(HotKeyStatus, install);
    QFETCH(HotKeyStatus, grab);
    QFETCH(QByteArray, printed);
    QFETCH(int, registerCalls);

    auto registrar = std::make_unique<FakeHotKeyRegistrar>();
    auto *fake = registrar.get();
    fake->nextInstallStatus = install;
    fake->nextRegisterStatus = grab;
    StdoutCapture output;
    int toggles = 0;
    GlobalHotKeyManager manager(std::move(registrar), [&] { ++toggles; });

    QCOMPARE(output.text(), printed);
    QVERIFY(!manager.isActive());
    QVERIFY(!fake->handlerInstalled);
    QVERIFY(!fake->registered);
    QCOMPARE(fake->registerCalls, registerCalls);
}

QTEST_GUILESS_MAIN(TestGlobalHotKeyManager)
#include "tst_GlobalHotKeyManager.moc"
