// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FakeHotKeyRegistrar.h"
#include "GlobalHotKeyManager.h"
#include "GlobalShortcutsPortal.h"
#include "StandInPortal.h"
#include "StdoutCapture.h"
#include "WaylandShortcutManager.h"

#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

class TestWaylandShortcutManager : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            QSKIP("dbus-daemon is not installed");
        qDBusRegisterMetaType<ShortcutEntry>();
        qDBusRegisterMetaType<ShortcutList>();
    }

    void init()
    {
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY(m_bus->isRunning());
        static int round = 0;
        ++round;
        m_service = m_bus->connect(QStringLiteral("service%1").arg(round));
        m_client = m_bus->connect(QStringLiteral("client%1").arg(round));
        QVERIFY(m_service.isConnected() && m_client.isConnected());
        m_portal = std::make_unique<StandInPortal>(m_service);
    }

    void cleanup()
    {
        m_portal.reset();
        m_bus.reset();
    }

    void bindsThroughThePortalUntilTheSessionCloses_data()
    {
        QTest::addColumn<bool>("sessionHandleAsObjectPath");
        QTest::addColumn<bool>("bindsAtSessionCreation");
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("line");
        QTest::newRow("session handle as documented, a string")
            << false << false << QString()
            << QStringLiteral("Shortcut: Alt+Shift+V through the desktop's global shortcuts");
        QTest::newRow("session handle as an object path, other keys chosen")
            << true << false << QStringLiteral("Ctrl+Alt+H")
            << QStringLiteral("Shortcut: Alt+Shift+V through the desktop's global shortcuts "
                              "(bound to Ctrl+Alt+H)");
        QTest::newRow("bound with the session, as on Plasma 5.27")
            << false << true << QStringLiteral("Alt+Shift+V")
            << QStringLiteral("Shortcut: Alt+Shift+V through the desktop's global shortcuts "
                              "(bound to Alt+Shift+V)");
    }

    void bindsThroughThePortalUntilTheSessionCloses()
    {
        QFETCH(bool, sessionHandleAsObjectPath);
        QFETCH(bool, bindsAtSessionCreation);
        QFETCH(QString, trigger);
        QFETCH(QString, line);
        m_portal->sessionHandleAsObjectPath = sessionHandleAsObjectPath;
        m_portal->bindsAtSessionCreation = bindsAtSessionCreation;
        m_portal->triggerDescription = trigger;
        QVERIFY(servePortal());

        auto registrar = std::make_unique<FakeHotKeyRegistrar>();
        auto *grab = registrar.get();
        GlobalHotKeyManager x11HotKey(std::move(registrar), [] {});
        QVERIFY(grab->registered);

        StdoutCapture output;
        QList<QByteArray> presses;
        WaylandShortcutManager manager(new GlobalShortcutsPortal(m_client), x11HotKey,
                                       [&](const QByteArray &token) { presses.append(token); });
        QSignalSpy settled(&manager, &WaylandShortcutManager::settled);
        QVERIFY(settled.wait(10000));
        QCOMPARE(output.lines(), QStringList{line});

        // What the desktop was asked for; a session that bound the shortcut
        // already is not asked again (Plasma 5.27 would open its settings).
        QCOMPARE(m_portal->boundSession,
                 bindsAtSessionCreation ? QString() : m_portal->sessionPath);
        QCOMPARE(m_portal->requested.size(), 1);
        const ShortcutEntry &asked = m_portal->requested.first();
        QCOMPARE(asked.id, QLatin1String(WaylandShortcutManager::shortcutId));
        QCOMPARE(asked.properties.value("preferred_trigger").toString(),
                 QStringLiteral("ALT+SHIFT+v"));
        // The desktop delivers the presses now; the grab would toggle twice.
        QVERIFY(!grab->registered && !grab->handlerInstalled);

        // Each press is one toggle, with the desktop's token; presses for
        // another session or shortcut are not ours.
        m_portal->activate(m_portal->sessionPath, asked.id, "token-1");
        m_portal->activate(m_portal->sessionPath + "x", asked.id);
        m_portal->activate(m_portal->sessionPath, QStringLiteral("other"));
        m_portal->activate(m_portal->sessionPath, asked.id);
        QTRY_COMPARE(presses.size(), 2);
        QCOMPARE(presses, (QList<QByteArray>{"token-1", ""}));
        QTest::qWait(100);
        QCOMPARE(presses.size(), 2);

        // The desktop may end the session (its portal restarted, the user
        // removed the shortcut).
        m_portal->closeSession(m_portal->sessionPath);
        QVERIFY(settled.wait(10000));
        QVERIFY(grab->registered && grab->handlerInstalled);
        QCOMPARE(output.lines().size(), 2);
        QVERIFY(output.lines().last().contains(u"(the desktop closed its shortcut session)"_qs));
        // Its presses no longer count.
        m_portal->activate(m_portal->sessionPath, asked.id);
        QTest::qWait(100);
        QCOMPARE(presses.size(), 2);
    }

    void refusalKeepsTheGrabAndExplains_data()
    {
        QTest::addColumn<bool>("portalRuns");
        QTest::addColumn<bool>("offersGlobalShortcuts");
        QTest::addColumn<uint>("bindResponse");
        QTest::addColumn<bool>("bindsTheShortcut");
        QTest::addColumn<bool>("x11GrabWorks");
        QTest::addColumn<QString>("reason");

        QTest::newRow("no portal on the bus")
            << false << true << 0u << true << true << "no desktop portal answers";
        QTest::newRow("portal without global shortcuts")
            << true << false << 0u << true << true << "the desktop portal has no global shortcuts";
        QTest::newRow("user declined the binding")
            << true << true << 1u << true << true << "the desktop declined it";
        QTest::newRow("bound without our shortcut")
            << true << true << 0u << false << true << "the desktop bound no keys to it";
        QTest::newRow("no portal and no grab either")
            << false << true << 0u << true << false << "no desktop portal answers";
    }

    void refusalKeepsTheGrabAndExplains()
    {
        QFETCH(bool, portalRuns);
        QFETCH(bool, offersGlobalShortcuts);
        QFETCH(uint, bindResponse);
        QFETCH(bool, bindsTheShortcut);
        QFETCH(bool, x11GrabWorks);
        QFETCH(QString, reason);
        m_portal->offersGlobalShortcuts = offersGlobalShortcuts;
        m_portal->bindResponse = bindResponse;
        m_portal->bindsTheShortcut = bindsTheShortcut;
        if (portalRuns)
            QVERIFY(servePortal());

        auto registrar = std::make_unique<FakeHotKeyRegistrar>();
        auto *grab = registrar.get();
        if (!x11GrabWorks)
            grab->nextRegisterStatus = {10, {}};
        StdoutCapture output;
        GlobalHotKeyManager x11HotKey(std::move(registrar), [] {});
        int presses = 0;
        WaylandShortcutManager manager(new GlobalShortcutsPortal(m_client), x11HotKey,
                                       [&](const QByteArray &) { ++presses; });
        QSignalSpy settled(&manager, &WaylandShortcutManager::settled);
        QVERIFY(settled.wait(10000));

        // The whole line, with the way to bind the command, is test_wayland_shortcut's.
        const QStringList lines = output.lines();
        QCOMPARE(lines.size(), x11GrabWorks ? 1 : 2);
        QVERIFY2(lines.last().contains(x11GrabWorks ? u"only while an X11 window has focus ("_qs
                                                    : u"Shortcut: none ("_qs + reason),
                 qPrintable(lines.last()));
        QVERIFY2(lines.last().contains(reason), qPrintable(lines.last()));
        QCOMPARE(grab->registered, x11GrabWorks);

        // A press reported for a session the portal did open is still not ours.
        if (!m_portal->sessionPath.isEmpty()) {
            m_portal->activate(m_portal->sessionPath,
                               QLatin1String(WaylandShortcutManager::shortcutId));
            QTest::qWait(100);
        }
        QCOMPARE(presses, 0);
    }

private:
    // Puts the stand-in portal on the private bus under the desktop's name.
    bool servePortal()
    {
        return m_service.registerService(QLatin1String(GlobalShortcutsPortal::serviceName)) &&
               m_service.registerVirtualObject(QLatin1String(GlobalShortcutsPortal::objectPath),
                                               m_portal.get());
    }

    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<StandInPortal> m_portal;
    QDBusConnection m_service{QString()};
    QDBusConnection m_client{QString()};
};

QTEST_GUILESS_MAIN(TestWaylandShortcutManager)
#include "tst_WaylandShortcutManager.moc"
