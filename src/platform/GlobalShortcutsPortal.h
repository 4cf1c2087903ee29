// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QVariantMap>

// A global shortcut bound by the desktop itself, through the XDG desktop
// portal's GlobalShortcuts interface on the session bus. In a Wayland
// session no program can grab keys for itself, and Quillmark's X11 grab only
// sees presses while an X11 window has focus; where the desktop offers this
// portal (KDE Plasma 5.27 and later, GNOME 48 and later) it watches the keys
// for us and reports each press, whatever window is in front.
//
// The exchange is asynchronous, as the portal may ask the user first:
// bind() creates a session and binds one shortcut to it, then either bound()
// or refused() is emitted, once. After bound(), every press emits
// activated().
class GlobalShortcutsPortal final : public QObject {
    Q_OBJECT
public:
    static constexpr auto serviceName = "org.freedesktop.portal.Desktop";
    static constexpr auto objectPath = "/org/freedesktop/portal/desktop";
    static constexpr auto interfaceName = "org.freedesktop.portal.GlobalShortcuts";

    struct Shortcut {
        QString id;
        QString description;
        // In the freedesktop shortcut notation: "ALT+SHIFT+v".
        QString preferredTrigger;
    };

    explicit GlobalShortcutsPortal(QDBusConnection bus, QObject *parent = nullptr);
    ~GlobalShortcutsPortal() override;

    void bind(const Shortcut &shortcut);

Q_SIGNALS:
    // `trigger` is how the desktop describes the keys it bound (may be empty).
    void bound(const QString &trigger);
    // Why there is no shortcut: no portal, no GlobalShortcuts in it, or the
    // desktop (or the user) declined.
    void refused(const QString &reason);
    // `activationToken` lets the window we show take the keyboard; it is
    // empty when the desktop sends none.
    void activated(const QString &id, const QByteArray &activationToken);
    // The desktop ended the session after binding: the shortcut is gone.
    void closed();

private Q_SLOTS:
    // QtDBus delivers signals only to slots named by their signature.
    void handleResponse(uint response, const QVariantMap &results);
    void handleSessionClosed(const QVariantMap &details);
    void handleActivated(const QDBusObjectPath &session, const QString &id, qulonglong timestamp,
                         const QVariantMap &options);

private:
    enum class Step { idle, checkingVersion, creatingSession, binding, bound, refused, closed };

    void createSession();
    void bindShortcuts();
    // Our shortcut as the portal's a(sa{sv}) list.
    [[nodiscard]] QVariant shortcutList() const;
    // Bound when `results` list our shortcut: watches its presses and
    // emits bound().
    bool acceptBinding(const QVariantMap &results);
    // Calls `method` of the portal with `arguments`; the answer arrives as a
    // Response signal on the request object whose path we predict from the
    // handle token, and which we subscribe to before calling.
    void callWithRequest(const QString &method, QVariantList arguments, QVariantMap options);
    void watchRequest(const QString &path);
    void refuse(const QString &reason);

    QDBusConnection m_bus;
    Shortcut m_shortcut;
    Step m_step = Step::idle;
    int m_tokenCounter = 0;
    QString m_requestPath;
    QString m_sessionPath;
};
