// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "GlobalShortcutsPortal.h"

#include <QDBusArgument>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcPortal, "quillmark.platform.portal")

namespace {

constexpr auto requestInterface = "org.freedesktop.portal.Request";
constexpr auto propertiesInterface = "org.freedesktop.DBus.Properties";
// How long the first call may take before the portal counts as absent; the
// user's answer to a confirmation dialog is waited for without limit.
constexpr int callTimeoutMs = 10000;

// One entry of the portal's a(sa{sv}) shortcut lists.
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};
using PortalShortcutList = QList<PortalShortcut>;

} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

namespace {

QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

void registerTypes()
{
    static const bool registered = [] {
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<PortalShortcutList>();
        return true;
    }();
    Q_UNUSED(registered);
}

// The sender part of a request path: our unique name without the colon,
// dots turned into underscores (":1.42" -> "1_42").
QString senderPathElement(const QDBusConnection &bus)
{
    QString name = bus.baseService();
    if (name.startsWith(QLatin1Char(':')))
        name.remove(0, 1);
    return name.replace(QLatin1Char('.'), QLatin1Char('_'));
}

// A handle in a results map: the interface documents a string, some
// desktops send an object path.
QString pathValue(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    return value.toString();
}

QString responseReason(uint response)
{
    // 1: the user cancelled the interaction; 2: it ended some other way.
    return response == 1 ? QStringLiteral("the desktop declined it")
                         : QStringLiteral("the desktop portal could not bind it");
}

} // namespace

GlobalShortcutsPortal::GlobalShortcutsPortal(QDBusConnection bus, QObject *parent)
    : QObject(parent), m_bus(std::move(bus))
{
    registerTypes();
}

GlobalShortcutsPortal::~GlobalShortcutsPortal()
{
    if (!m_requestPath.isEmpty())
        watchRequest({});
    // Closing the session releases the shortcut at once rather than when our
    // bus connection goes away.
    if (!m_sessionPath.isEmpty() && m_bus.isConnected())
        m_bus.call(QDBusMessage::createMethodCall(QLatin1String(serviceName), m_sessionPath,
                                                  QStringLiteral("org.freedesktop.portal.Session"),
                                                  QStringLiteral("Close")),
                   QDBus::NoBlock);
}

void GlobalShortcutsPortal::bind(const Shortcut &shortcut)
{
    if (m_step != Step::idle)
        return;
    m_shortcut = shortcut;
    if (!m_bus.isConnected()) {
        refuse(QStringLiteral("no session bus"));
        return;
    }

    // The version property exists only where the portal has a backend that
    // implements global shortcuts; asking for it also starts the portal.
    m_step = Step::checkingVersion;
    QDBusMessage get =
        QDBusMessage::createMethodCall(QLatin1String(serviceName), QLatin1String(objectPath),
                                       QLatin1String(propertiesInterface), QStringLiteral("Get"));
    get << QLatin1String(interfaceName) << QStringLiteral("version");
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(get, callTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *w;
        if (reply.isError()) {
            const QDBusError::ErrorType type = reply.error().type();
            refuse(type == QDBusError::ServiceUnknown || type == QDBusError::NoReply ||
                           type == QDBusError::Timeout || type == QDBusError::TimedOut
                       ? QStringLiteral("no desktop portal answers")
                       : QStringLiteral("the desktop portal has no global shortcuts"));
            return;
        }
        qCDebug(lcPortal) << "GlobalShortcuts version" << reply.value().variant();
        createSession();
    });
}

void GlobalShortcutsPortal::createSession()
{
    m_step = Step::creatingSession;
    QVariantMap options;
    options.insert(QStringLiteral("session_handle_token"),
                   QStringLiteral("quillmark_session%1").arg(++m_tokenCounter));
    // Plasma 5.27 binds only the shortcuts named when the session is
    // created (other desktops ignore them here).
    options.insert(QStringLiteral("shortcuts"), shortcutList());
    callWithRequest(QStringLiteral("CreateSession"), {}, options);
}

void GlobalShortcutsPortal::bindShortcuts()
{
    m_step = Step::binding;
    // No parent window: the portal's dialog, if it shows one, stands alone.
    callWithRequest(
        QStringLiteral("BindShortcuts"),
        {QVariant::fromValue(QDBusObjectPath(m_sessionPath)), shortcutList(), QString()}, {});
}

QVariant GlobalShortcutsPortal::shortcutList() const
{
    QVariantMap properties;
    properties.insert(QStringLiteral("description"), m_shortcut.description);
    if (!m_shortcut.preferredTrigger.isEmpty())
        properties.insert(QStringLiteral("preferred_trigger"), m_shortcut.preferredTrigger);
    return QVariant::fromValue(PortalShortcutList{{m_shortcut.id, properties}});
}

void GlobalShortcutsPortal::callWithRequest(const QString &method, QVariantList arguments,
                                            QVariantMap options)
{
    const QString token = QStringLiteral("quillmark%1").arg(++m_tokenCounter);
    options.insert(QStringLiteral("handle_token"), token);
    // Subscribed before calling, so that a quick answer is not missed.
    watchRequest(QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                     .arg(senderPathElement(m_bus), token));

    QDBusMessage call =
        QDBusMessage::createMethodCall(QLatin1String(serviceName), QLatin1String(objectPath),
                                       QLatin1String(interfaceName), method);
    arguments.append(options);
    call.setArguments(arguments);
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, callTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, step = m_step](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                if (m_step != step)
                    return;
                const QDBusPendingReply<QDBusObjectPath> reply = *w;
                if (reply.isError()) {
                    qCDebug(lcPortal) << reply.error();
                    refuse(QStringLiteral("the desktop portal could not bind it (%1)")
                               .arg(reply.error().name()));
                    return;
                }
                // Older portals choose the request path themselves.
                if (reply.value().path() != m_requestPath)
                    watchRequest(reply.value().path());
            });
}

void GlobalShortcutsPortal::watchRequest(const QString &path)
{
    // QtDBus connects bus signals only through normalised slot signatures.
    if (!m_requestPath.isEmpty())
        m_bus.disconnect(QLatin1String(serviceName), m_requestPath, QLatin1String(requestInterface),
                         QStringLiteral("Response"), this, SLOT(handleResponse(uint, QVariantMap)));
    m_requestPath = path;
    if (!path.isEmpty())
        m_bus.connect(QLatin1String(serviceName), path, QLatin1String(requestInterface),
                      QStringLiteral("Response"), this, SLOT(handleResponse(uint, QVariantMap)));
}

void GlobalShortcutsPortal::handleResponse(uint response, const QVariantMap &results)
{
    watchRequest({});
    if (response != 0) {
        refuse(responseReason(response));
        return;
    }
    if (m_step == Step::creatingSession) {
        m_sessionPath = pathValue(results.value(QStringLiteral("session_handle")));
        if (!m_sessionPath.startsWith(QLatin1Char('/'))) {
            m_sessionPath.clear();
            refuse(QStringLiteral("the desktop portal opened no session"));
            return;
        }
        // A session that lists our shortcut has bound it already (Plasma
        // 5.27, whose BindShortcuts binds nothing and opens the shortcut
        // settings instead).
        if (!acceptBinding(results))
            bindShortcuts();
    } else if (m_step == Step::binding) {
        if (!acceptBinding(results))
            refuse(QStringLiteral("the desktop bound no keys to it"));
    }
}

bool GlobalShortcutsPortal::acceptBinding(const QVariantMap &results)
{
    const QVariant shortcuts = results.value(QStringLiteral("shortcuts"));
    if (!shortcuts.canConvert<QDBusArgument>())
        return false;
    const auto list = qdbus_cast<PortalShortcutList>(shortcuts.value<QDBusArgument>());
    for (const PortalShortcut &entry : list) {
        if (entry.id != m_shortcut.id)
            continue;
        m_step = Step::bound;
        m_bus.connect(QLatin1String(serviceName), QLatin1String(objectPath),
                      QLatin1String(interfaceName), QStringLiteral("Activated"), this,
                      SLOT(handleActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
        m_bus.connect(QLatin1String(serviceName), m_sessionPath,
                      QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Closed"),
                      this, SLOT(handleSessionClosed(QVariantMap)));
        Q_EMIT bound(entry.properties.value(QStringLiteral("trigger_description")).toString());
        return true;
    }
    return false;
}

void GlobalShortcutsPortal::handleSessionClosed(const QVariantMap &details)
{
    Q_UNUSED(details);
    if (m_step != Step::bound)
        return;
    m_step = Step::closed;
    // Closed already: nothing to close when this object goes.
    m_sessionPath.clear();
    Q_EMIT closed();
}

void GlobalShortcutsPortal::handleActivated(const QDBusObjectPath &session, const QString &id,
                                            qulonglong timestamp, const QVariantMap &options)
{
    Q_UNUSED(timestamp);
    if (m_step != Step::bound || session.path() != m_sessionPath || id != m_shortcut.id)
        return;
    Q_EMIT activated(id, options.value(QStringLiteral("activation_token")).toString().toUtf8());
}

void GlobalShortcutsPortal::refuse(const QString &reason)
{
    if (m_step == Step::bound || m_step == Step::refused || m_step == Step::closed)
        return;
    m_step = Step::refused;
    Q_EMIT refused(reason);
}
