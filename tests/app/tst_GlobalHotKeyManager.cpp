// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FakeHotKeyRegistrar.h"
#include "GlobalHotKeyManager.h"
#include "StdoutCapture.h"

#include <QTest>

class TestGlobalHotKeyManager : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void registersAltShiftVPostsItsOwnPressesOnlyAndReregisters()
    {
        auto registrar = std::make_unique<FakeHotKeyRegistrar>();
        auto *fake = registrar.get();
        int toggles = 0;
        GlobalHotKeyManager manager(std::move(registrar), [&] { ++toggles; });
        QVERIFY(manager.isActive());
        QVERIFY(fake->handlerInstalled && fake->registered);

        // Other signatures and identifiers are someone else's.
        for (const HotKeyId foreign :
             {HotKeyId{fourCharCode(QStringLiteral("ABCD")), 1},
              HotKeyId{fourCharCode(QStringLiteral("QMHK")), 2}, HotKeyId{}})
            fake->press(foreign);
        // A press is posted, not run inside the event handler.
        fake->press(fake->registeredId);
        QCOMPARE(toggles, 0);
        QTRY_COMPARE(toggles, 1);
        QCoreApplication::processEvents();
        QCOMPARE(toggles, 1);

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

    // A refused grab is test_hotkey's; a platform without key grabs is said
    // once, and nothing is registered.
    void failuresArePrintedAndLeaveNothingBehind()
    {
        auto registrar = std::make_unique<FakeHotKeyRegistrar>();
        auto *fake = registrar.get();
        fake->nextInstallStatus = {-1,
                                   QStringLiteral("no global key grab on the wayland platform")};
        StdoutCapture output;
        GlobalHotKeyManager manager(std::move(registrar), [] {});

        QCOMPARE(output.text(),
                 QByteArray("Failed to install hotkey event handler: -1 (no global key "
                            "grab on the wayland platform)\n"));
        QVERIFY(!manager.isActive());
        QVERIFY(!fake->handlerInstalled && !fake->registered);
        QCOMPARE(fake->registerCalls, 0);
    }
};

QTEST_GUILESS_MAIN(TestGlobalHotKeyManager)
#include "tst_GlobalHotKeyManager.moc"
