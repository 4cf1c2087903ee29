#pragma once

#include <QObject>

#include <memory>

class AppSettings;
class ClipboardStore;
class GlobalHotKeyManager;
class JsonSettingsBackend;
class MenuBarController;
class SystemClock;
class TerminationSignals;
class X11Pasteboard;
class XdgAutostartLoginItem;

// Quillmark's long-lived objects, built in launch order and kept until the
// process ends; the ones other code reaches as `shared` are installed here.
// Each later piece of the shell (windows, tray, hot key) joins the sequence
// in launch(), after the objects it needs.
class AppComposition final : public QObject {
    Q_OBJECT
public:
    AppComposition();
    ~AppComposition() override;

    // Builds everything; the event loop starts after this returns.
    void launch();
    // The orderly end, for every way of asking: stop capture, then leave
    // the event loop. Nothing is saved here: every change was written when
    // it happened.
    void terminate();

private:
    std::unique_ptr<JsonSettingsBackend> m_settingsBackend;
    std::unique_ptr<XdgAutostartLoginItem> m_loginItem;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<X11Pasteboard> m_pasteboard;
    std::unique_ptr<SystemClock> m_clock;
    std::unique_ptr<ClipboardStore> m_store;
    std::unique_ptr<MenuBarController> m_menuBarController;
    std::unique_ptr<GlobalHotKeyManager> m_hotKeyManager;
    TerminationSignals *m_terminationSignals = nullptr;
};
