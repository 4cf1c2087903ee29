// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "GlobalShortcutsPortal.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QProcess>

// One shortcut as the portal's calls carry it: (sa{sv}).
struct ShortcutEntry {
    QString id;
    QVariantMap properties;
};
using ShortcutList = QList<ShortcutEntry>;

Q_DECLARE_METATYPE(ShortcutEntry)

inline QDBusArgument &operator<<(QDBusArgument &argument, const ShortcutEntry &entry)
{
    argument.beginStructure();
    argument << entry.id << entry.properties;
    argument.endStructure();
    return argument;
}

inline const QDBusArgument &operator>>(const QDBusArgument &argument, ShortcutEntry &entry)
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
public:
    explicit StandInPortal(QDBusConnection bus) : m_bus(std::move(bus)) {}

    bool offersGlobalShortcuts = true;
    uint bindResponse = 0;
    bool bindsTheShortcut = true;
    // As Plasma 5.27: binds the shortcuts named at session creation, and
    // lists them in its answer.
    bool bindsAtSessionCreation = false;
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
            if (bindsAtSessionCreation) {
                requested = qdbus_cast<ShortcutList>(options.value("shortcuts"));
                results.insert(QStringLiteral("shortcuts"), boundList());
            }
            answer(message, connection, options, 0, results);
            return true;
        }
        if (member == QLatin1String("BindShortcuts")) {
            boundSession = qdbus_cast<QDBusObjectPath>(args.value(0)).path();
            requested = qdbus_cast<ShortcutList>(args.value(1));
            const QVariantMap options = qdbus_cast<QVariantMap>(args.value(3));
            answer(message, connection, options, bindResponse,
                   {{QStringLiteral("shortcuts"), boundList()}});
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
    QVariant boundList() const
    {
        ShortcutList bound;
        if (bindsTheShortcut)
            for (const ShortcutEntry &entry : requested)
                bound.append({entry.id,
                              {{QStringLiteral("description"),
                                entry.properties.value(QStringLiteral("description"))},
                               {QStringLiteral("trigger_description"), triggerDescription}}});
        return QVariant::fromValue(bound);
    }

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

// A session bus of the test's own, configured as the end-to-end suites'
// (session_bus.conf): it starts none of the machine's services on demand,
// so an installed desktop portal cannot answer in the stand-in's place.
class PrivateBus {
public:
    PrivateBus()
    {
        m_daemon.start(
            QStringLiteral("dbus-daemon"),
            {QStringLiteral("--config-file=" QUILLMARK_TEST_DATA_DIR "/../e2e/session_bus.conf"),
             QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
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
