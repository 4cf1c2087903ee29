// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "AppRequest.h"

#include <QObject>

#include <functional>
#include <memory>

class AppSettings;
class AppWindowManager;
class ClipboardStore;
class Dialogs;
class GlobalHotKeyManager;
class LoginItem;
class MenuBarController;
class Pasteboard;
class QuitController;
class SettingsBackend;
class SettingsWindow;
class SystemClock;
class TaskbarPresence;
class TerminationSignals;
class Theme;
class WaylandShortcutManager;

// The application shell and composition root: builds Quillmark's long-lived
// objects in launch order, hands each its dependencies, and keeps them until
// the process ends. It keeps the taskbar presence in step with "Show Dock
// Icon", is the one handler of every request (tray click, shortcut, command
// line, later launch), and leaves ending to QuitController. No window opens
// at launch, and closing windows never ends the process.
class AppDelegate final : public QObject {
    Q_OBJECT
public:
    // What the delegate takes from the desktop, made when launching
    // reaches it; tests hand it stand-ins.
    struct Desktop {
        std::function<std::unique_ptr<SettingsBackend>()> settingsBackend;
        std::function<std::unique_ptr<LoginItem>()> loginItem;
        std::function<std::unique_ptr<Pasteboard>()> pasteboard;
        // The questions asked, in the look of `theme`.
        std::function<std::unique_ptr<Dialogs>(const Theme &theme)> dialogs;
        QString historyFile;
    };
    // The user's own: the settings file, the autostart entry, the system
    // clipboard, Qt's dialogs and the default history file.
    [[nodiscard]] static Desktop userDesktop();

    explicit AppDelegate(Desktop desktop = userDesktop());
    ~AppDelegate() override;

    // The launch sequence; the event loop starts after this returns.
    void applicationDidFinishLaunching();

    // The five long-lived objects, known by the name `shared`; valid once
    // launching has finished.
    struct Shared {
        AppSettings &settings;
        ClipboardStore &store;
        AppWindowManager &windowManager;
        MenuBarController &menuBarController;
        GlobalHotKeyManager &hotKeyManager;
    };
    [[nodiscard]] Shared shared() const;

    // What any way in asks of this instance: the tray icon, the shortcut,
    // the command line of the first launch and the requests of later ones.
    void handleRequest(const AppRequest &request);

    // Shows or hides our windows in the taskbar, deferred to the event loop.
    void applyDockIconVisibility(bool show);

private:
    [[nodiscard]] static bool hasVisibleWindows();
    void showSettings();
    void addMainWindowShortcuts();
    // Hands the launch's activation token to the window the request opened.
    void presentActivationToken(const AppRequest &request);
    // `position` 1 is the newest item; the popover's click does the same.
    void copyItem(qint64 position);

    Desktop m_desktop;
    std::unique_ptr<SettingsBackend> m_settingsBackend;
    std::unique_ptr<LoginItem> m_loginItem;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<Theme> m_theme;
    std::unique_ptr<TaskbarPresence> m_taskbarPresence;
    std::unique_ptr<Pasteboard> m_pasteboard;
    std::unique_ptr<SystemClock> m_clock;
    std::unique_ptr<ClipboardStore> m_store;
    std::unique_ptr<Dialogs> m_dialogs;
    std::unique_ptr<AppWindowManager> m_windowManager;
    std::unique_ptr<MenuBarController> m_menuBarController;
    std::unique_ptr<GlobalHotKeyManager> m_hotKeyManager;
    std::unique_ptr<WaylandShortcutManager> m_waylandShortcut;
    SettingsWindow *m_settingsWindow = nullptr;
    QuitController *m_quitController = nullptr;
    bool m_mainWindowShortcutsAdded = false;
    TerminationSignals *m_terminationSignals = nullptr;
};
