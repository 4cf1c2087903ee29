// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FakeHotKeyRegistrar.h"
#include "GlobalHotKeyManager.h"
#include "GlobalShortcutsPortal.h"
#include "StdoutCapture.h"
#include "WaylandShortcutManager.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

namespace {

struct ShortcutEntry {
    QString id;
    QVariantMap properties;
};
using ShortcutList = QList<ShortcutEntry>;

} // namespace

Q_DECLARE_METATYPE(ShortcutEntry)

namespace {

QDBusArgument &operator<<(QDBusArgument &argument, const ShortcutEntry &entry)
{
    argument.beginStructure();
    argument << entry.id << entry.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, ShortcutEntry &entry)
{
    argument.beginStructure();
    argument >> entry.id >> entry.properties;
    argument.endStructure();
    return argument;
}

// A desktop portal that offers GlobalShortcuts the way the interface is
// documented, answering each call with a Response on the request path the
// caller's handle token names. The test chooses its answers.
class StandInPortal final : public QDBusVirtualObject {
    Q_OBJECT
public:
    explicit StandInPortal(QDBusConnection bus) : m_bus(std::move(bus)) {}

    bool offersGlobalShortcuts = true;
    uint createResponse = 0;
    uint bindResponse = 0;
    bool bindsTheShortcut = true;
    bool sessionHandleAsObjectPath = false;
    QString triggerDescription = QStringLiteral("Alt+Shift+V");

    // What the client asked for.
    QString sessionPath;
    QString boundSession;
    ShortcutList requested;
    QString clientName;

    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        const QString member = message.member();
        const QVariantList args = message.arguments();
        clientName = message.service();
        if (member == QLatin1String("Get")) {
            if (!offersGlobalShortcuts ||
                args.value(0).toString() != QLatin1String(GlobalShortcutsPortal::interfaceName)) {
                connection.send(message.createErrorReply(
                    QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
                    QStringLiteral("No such interface")));
                return true;
            }
            connection.send(message.createReply(QVariant::fromValue(QDBusVariant(2u))));
            return true;
        }
        if (member == QLatin1String("CreateSession")) {
            const QVariantMap options = qdbus_cast<QVariantMap>(args.value(0));
            sessionPath =
                QStringLiteral("/org/freedesktop/portal/desktop/session/%1/%2")
                    .arg(senderElement(), options.value("session_handle_token").toString());
            QVariantMap results;
            if (sessionHandleAsObjectPath)
                results.insert(QStringLiteral("session_handle"),
                               QVariant::fromValue(QDBusObjectPath(sessionPath)));
            else
                results.insert(QStringLiteral("session_handle"), sessionPath);
            answer(message, connection, options, createResponse, results);
            return true;
        }
        if (member == QLatin1String("BindShortcuts")) {
            boundSession = qdbus_cast<QDBusObjectPath>(args.value(0)).path();
            requested = qdbus_cast<ShortcutList>(args.value(1));
            const QVariantMap options = qdbus_cast<QVariantMap>(args.value(3));
            ShortcutList bound;
            if (bindsTheShortcut)
                for (const ShortcutEntry &entry : std::as_const(requested))
                    bound.append({entry.id,
                                  {{QStringLiteral("description"),
                                    entry.properties.value(QStringLiteral("description"))},
                                   {QStringLiteral("trigger_description"), triggerDescription}}});
            answer(message, connection, options, bindResponse,
                   {{QStringLiteral("shortcuts"), QVariant::fromValue(bound)}});
            return true;
        }
        return false;
    }

    // The user pressed a bound shortcut.
    void activate(const QString &session, const QString &id, const QByteArray &token = {})
    {
        QDBusMessage signal = QDBusMessage::createSignal(
            QLatin1String(GlobalShortcutsPortal::objectPath),
            QLatin1String(GlobalShortcutsPortal::interfaceName), QStringLiteral("Activated"));
        QVariantMap options;
        if (!token.isEmpty())
            options.insert(QStringLiteral("activation_token"), QString::fromUtf8(token));
        signal << QVariant::fromValue(QDBusObjectPath(session)) << id << qulonglong(1234)
               << options;
        m_bus.send(signal);
    }

    // The desktop ends the session (its portal restarted, the user removed
    // the shortcut).
    void closeSession(const QString &session)
    {
        QDBusMessage signal = QDBusMessage::createSignal(
            session, QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Closed"));
        signal << QVariantMap();
        m_bus.send(signal);
    }

private:
    QString senderElement() const
    {
        QString name = clientName.mid(1);
        return name.replace(QLatin1Char('.'), QLatin1Char('_'));
    }

    // Replies with the request handle, then sends the Response from it.
    void answer(const QDBusMessage &message, const QDBusConnection &connection,
                const QVariantMap &options, uint response, const QVariantMap &results)
    {
        const QString request = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                                    .arg(senderElement(), options.value("handle_token").toString());
        connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QDBusMessage signal = QDBusMessage::createSignal(
            request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        signal << response << results;
        connection.send(signal);
    }

    QDBusConnection m_bus;
};

// A session bus of the test's own.
class PrivateBus {
public:
    PrivateBus()
    {
        m_daemon.setProgram(QStringLiteral("dbus-daemon"));
        m_daemon.setArguments({QStringLiteral("--session"), QStringLiteral("--nofork"),
                               QStringLiteral("--print-address=1")});
        m_daemon.start();
        if (m_daemon.waitForStarted() && m_daemon.waitForReadyRead(10000))
            m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        for (const QString &name : std::as_const(m_names))
            QDBusConnection::disconnectFromBus(name);
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
    [[nodiscard]] bool isRunning() const { return !m_address.isEmpty(); }
    [[nodiscard]] QDBusConnection connect(const QString &name)
    {
        m_names.append(name);
        return QDBusConnection::connectToBus(m_address, name);
    }

private:
    QProcess m_daemon;
    QString m_address;
    QStringList m_names;
};

} // namespace

class TestWaylandShortcutManager : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void bindsThroughThePortalUntilTheSessionCloses_data();
    void bindsThroughThePortalUntilTheSessionCloses();
    void refusalKeepsTheGrabAndExplains_data();
    void refusalKeepsTheGrabAndExplains();

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

void TestWaylandShortcutManager::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
        QSKIP("dbus-daemon is not installed");
    qDBusRegisterMetaType<ShortcutEntry>();
    qDBusRegisterMetaType<ShortcutList>();
}

void TestWaylandShortcutManager::init()
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

void TestWaylandShortcutManager::cleanup()
{
    m_portal.reset();
    m_bus.reset();
}

void TestWaylandShortcutManager::bindsThroughThePortalUntilTheSessionCloses_data()
{
    QTest::addColumn<bool>("sessionHandleAsObjectPath");
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("line");
    QTest::newRow("session handle as documented, a string")
        << false << QString()
        << QStringLiteral("Shortcut: Alt+Shift+V through the desktop's global shortcuts");
    QTest::newRow("session handle as an object path, other keys chosen")
        << true << QStringLiteral("Ctrl+Alt+H")
        << QStringLiteral("Shortcut: Alt+Shift+V through the desktop's global shortcuts "
                          "(bound to Ctrl+Alt+H)");
}

void TestWaylandShortcutManager::bindsThroughThePortalUntilTheSessionCloses()
{
    QFETCH(bool, sessionHandleAsObjectPath);
    QFETCH(QString, trigger);
    QFETCH(QString, line);
    m_portal->sessionHandleAsObjectPath = sessionHandleAsObjectPath;
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

    // What the desktop was asked for.
    QCOMPARE(m_portal->boundSession, m_portal->sessionPath);
    QCOMPARE(m_portal->requested.size(), 1);
    const ShortcutEntry &asked = m_portal->requested.first();
    QCOMPARE(asked.id, QLatin1String(WaylandShortcutManager::shortcutId));
    QCOMPARE(asked.properties.value("preferred_trigger").toString(), QStringLiteral("ALT+SHIFT+v"));
    QCOMPARE(asked.properties.value("description").toString(),
             WaylandShortcutManager::description());
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
    // removed the shortcut); another session's end is not ours.
    m_portal->closeSession(m_portal->sessionPath + "x");
    QTest::qWait(100);
    QVERIFY(!grab->registered);

    m_portal->closeSession(m_portal->sessionPath);
    QVERIFY(settled.wait(10000));
    QVERIFY(grab->registered && grab->handlerInstalled);
    QCOMPARE(output.lines().size(), 2);
    QCOMPARE(output.lines().last(),
             QStringLiteral("Shortcut: Alt+Shift+V reaches Quillmark only while an X11 window has "
                            "focus (the desktop closed its shortcut session); to open the popover "
                            "from any window, bind the command `quillmark --toggle` to a key in "
                            "your desktop's keyboard settings"));
    // Its presses no longer count.
    m_portal->activate(m_portal->sessionPath, asked.id);
    QTest::qWait(100);
    QCOMPARE(presses.size(), 2);
}

void TestWaylandShortcutManager::refusalKeepsTheGrabAndExplains_data()
{
    QTest::addColumn<bool>("portalRuns");
    QTest::addColumn<bool>("offersGlobalShortcuts");
    QTest::addColumn<uint>("createResponse");
    QTest::addColumn<uint>("bindResponse");
    QTest::addColumn<bool>("bindsTheShortcut");
    QTest::addColumn<bool>("x11GrabWorks");
    QTest::addColumn<QString>("reason");

    QTest::newRow("no portal on the bus")
        << false << true << 0u << 0u << true << true << "no desktop portal answers";
    QTest::newRow("portal without global shortcuts")
        << true << false << 0u << 0u << true << true
        << "the desktop portal has no global shortcuts";
    QTest::newRow("session refused")
        << true << true << 2u << 0u << true << true << "the desktop portal could not bind it";
    QTest::newRow("user declined the binding")
        << true << true << 0u << 1u << true << true << "the desktop declined it";
    QTest::newRow("bound without our shortcut")
        << true << true << 0u << 0u << false << true << "the desktop bound no keys to it";
    QTest::newRow("no portal and no grab either")
        << false << true << 0u << 0u << true << false << "no desktop portal answers";
}

void TestWaylandShortcutManager::refusalKeepsTheGrabAndExplains()
{
    QFETCH(bool, portalRuns);
    QFETCH(bool, offersGlobalShortcuts);
    QFETCH(uint, createResponse);
    QFETCH(uint, bindResponse);
    QFETCH(bool, bindsTheShortcut);
    QFETCH(bool, x11GrabWorks);
    QFETCH(QString, reason);
    m_portal->offersGlobalShortcuts = offersGlobalShortcuts;
    m_portal->createResponse = createResponse;
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

    const QString advice = QStringLiteral("to open the popover from any window, bind the command "
                                          "`quillmark --toggle` to a key in your desktop's "
                                          "keyboard settings");
    QStringList expected;
    if (x11GrabWorks) {
        expected << QStringLiteral("Shortcut: Alt+Shift+V reaches Quillmark only while an X11 "
                                   "window has focus (%1); %2")
                        .arg(reason, advice);
        QVERIFY(grab->registered);
    } else {
        expected << QStringLiteral("Failed to register global hotkey: 10")
                 << QStringLiteral("Shortcut: none (%1); %2").arg(reason, advice);
    }
    QCOMPARE(output.lines(), expected);

    // A press reported for a session the portal did open is still not ours.
    if (!m_portal->sessionPath.isEmpty()) {
        m_portal->activate(m_portal->sessionPath,
                           QLatin1String(WaylandShortcutManager::shortcutId));
        QTest::qWait(100);
    }
    QCOMPARE(presses, 0);
}

QTEST_GUILESS_MAIN(TestWaylandShortcutManager)
#include "tst_WaylandShortcutManager.moc"
