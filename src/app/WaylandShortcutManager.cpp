// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "WaylandShortcutManager.h"

#include "ConsoleOutput.h"
#include "GlobalHotKeyManager.h"
#include "GlobalShortcutsPortal.h"

WaylandShortcutManager::WaylandShortcutManager(
    GlobalShortcutsPortal *portal, GlobalHotKeyManager &x11HotKey,
    std::function<void(const QByteArray &activationToken)> onPressed, QObject *parent)
    : QObject(parent), m_portal(portal), m_x11HotKey(x11HotKey), m_onPressed(std::move(onPressed))
{
    m_portal->setParent(this);
    connect(m_portal, &GlobalShortcutsPortal::bound, this, &WaylandShortcutManager::handleBound);
    connect(m_portal, &GlobalShortcutsPortal::refused, this,
            &WaylandShortcutManager::handleRefused);
    connect(m_portal, &GlobalShortcutsPortal::closed, this, [this] {
        // The desktop took the shortcut back (its portal restarted, the user
        // removed it): the grab serves again, and the user is told.
        m_x11HotKey.registerHotKey();
        handleRefused(tr("the desktop closed its shortcut session"));
    });
    connect(m_portal, &GlobalShortcutsPortal::activated, this,
            [this](const QString &, const QByteArray &token) {
                // Posted, as the X11 presses are: the toggle must not run
                // inside the bus's signal delivery.
                QMetaObject::invokeMethod(
                    this, [this, token] { m_onPressed(token); }, Qt::QueuedConnection);
            });
    m_portal->bind({QString::fromLatin1(shortcutId), description(), QStringLiteral("ALT+SHIFT+v")});
}

QString WaylandShortcutManager::description()
{
    return tr("Open or close the Quillmark popover");
}

void WaylandShortcutManager::handleBound(const QString &trigger)
{
    m_x11HotKey.releaseHotKey();
    QString line = tr("Shortcut: Alt+Shift+V through the desktop's global shortcuts");
    // The user may have chosen other keys in the desktop's dialog.
    if (!trigger.isEmpty())
        line += tr(" (bound to %1)").arg(trigger);
    printLine(line);
    Q_EMIT settled();
}

void WaylandShortcutManager::handleRefused(const QString &reason)
{
    const QString advice = tr("to open the popover from any window, bind the command "
                              "`quillmark --toggle` to a key in your desktop's keyboard settings");
    if (m_x11HotKey.isActive())
        printLine(tr("Shortcut: Alt+Shift+V reaches Quillmark only while an X11 window has "
                     "focus (%1); %2")
                      .arg(reason, advice));
    else
        printLine(tr("Shortcut: none (%1); %2").arg(reason, advice));
    Q_EMIT settled();
}
