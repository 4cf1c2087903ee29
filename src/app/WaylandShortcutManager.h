// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

class GlobalHotKeyManager;
class GlobalShortcutsPortal;

// Alt+Shift+V in a Wayland session. Quillmark's X11 grab sees the keys only
// while an X11 window has focus, which in a Wayland session is the exception;
// so the shortcut is also offered to the desktop through its global
// shortcuts portal. Bound there, presses reach us whatever has focus, and the
// X11 grab is let go (one press must not toggle twice). Without the portal,
// or when it refuses, the grab stays for the X11 windows and one line says
// so and how to bind `quillmark --toggle` instead. When the desktop later
// closes the session, the grab comes back and the same line is printed.
class WaylandShortcutManager final : public QObject {
    Q_OBJECT
public:
    // Takes `portal` over and asks it to bind at once. `onPressed` (the
    // popover toggle, with the desktop's activation token, if any) is
    // posted to the event loop for each press.
    WaylandShortcutManager(GlobalShortcutsPortal *portal, GlobalHotKeyManager &x11HotKey,
                           std::function<void(const QByteArray &activationToken)> onPressed,
                           QObject *parent = nullptr);

    // The id and the description the desktop lists the shortcut under.
    static constexpr auto shortcutId = "toggle-popover";
    [[nodiscard]] static QString description();

Q_SIGNALS:
    // The startup summary's shortcut line has been printed.
    void settled();

private:
    void handleBound(const QString &trigger);
    void handleRefused(const QString &reason);

    GlobalShortcutsPortal *m_portal;
    GlobalHotKeyManager &m_x11HotKey;
    std::function<void(const QByteArray &)> m_onPressed;
};
