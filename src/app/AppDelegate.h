#pragma once

#include "AppRequest.h"

#include <QObject>

#include <memory>

class AppSettings;
class AppWindowManager;
class ClipboardStore;
class Dialogs;
class GlobalHotKeyManager;
class JsonSettingsBackend;
class MenuBarController;
class QuitController;
class SettingsWindow;
class SystemClock;
class TaskbarPresence;
class TerminationSignals;
class WaylandShortcutManager;
class X11Pasteboard;
class XdgAutostartLoginItem;

// The application shell: builds Quillmark's long-lived objects in launch
// order and keeps them until the process ends (the ones other code reaches
// as `shared` are installed here), keeps the taskbar presence in step with
// "Show Dock Icon", answers the requests of later launches, and guards
// quitting. No window opens at launch, and closing windows never ends the
// process.
class AppDelegate final : public QObject {
    Q_OBJECT
public:
    AppDelegate();
    ~AppDelegate() override;

    // The launch sequence; the event loop starts after this returns.
    void applicationDidFinishLaunching();

    // What another launch (or any other way in) asks of this instance.
    void handleRequest(const AppRequest &request);

    // Shows or hides our windows in the taskbar, deferred to the event loop.
    void applyDockIconVisibility(bool show);
    // The one settings window, shown or brought to the front.
    void showSettings();
    // Ctrl+Q and the like: asks first unless Alt is held.
    void requestTermination();
    // The orderly end without asking (SIGINT, SIGTERM): stop capture, then
    // leave the event loop. Nothing is saved here: every change was written
    // when it happened.
    void terminate();

private:
    [[nodiscard]] static bool hasVisibleWindows();
    void showMainWindow();
    void addMainWindowShortcuts();
    // Hands the launch's activation token to the window the request opened.
    void presentActivationToken(const AppRequest &request);

    std::unique_ptr<JsonSettingsBackend> m_settingsBackend;
    std::unique_ptr<XdgAutostartLoginItem> m_loginItem;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<TaskbarPresence> m_taskbarPresence;
    std::unique_ptr<X11Pasteboard> m_pasteboard;
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
