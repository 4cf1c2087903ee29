#include "AppComposition.h"

#include "AppSettings.h"
#include "ClipboardStore.h"
#include "Clock.h"
#include "GlobalHotKeyManager.h"
#include "JsonSettingsBackend.h"
#include "MenuBarController.h"
#include "TerminationSignals.h"
#include "X11Pasteboard.h"
#include "XdgAutostartLoginItem.h"

#include <QApplication>
#include <QClipboard>

AppComposition::AppComposition() = default;

AppComposition::~AppComposition()
{
    // Take the shared instances down before the objects behind them.
    if (m_hotKeyManager)
        GlobalHotKeyManager::setShared(nullptr);
    if (m_menuBarController)
        MenuBarController::setShared(nullptr);
    if (m_store)
        ClipboardStore::setShared(nullptr);
    if (m_settings)
        AppSettings::setShared(nullptr);
}

void AppComposition::launch()
{
    // 1. Ending on SIGINT/SIGTERM goes through terminate(), like a quit.
    m_terminationSignals = new TerminationSignals(this);
    connect(m_terminationSignals, &TerminationSignals::received, this, &AppComposition::terminate);

    // 2. Settings first: loading them re-applies the login item.
    m_settingsBackend = std::make_unique<JsonSettingsBackend>();
    m_loginItem = std::make_unique<XdgAutostartLoginItem>();
    m_settings = std::make_unique<AppSettings>(*m_settingsBackend, *m_loginItem);
    AppSettings::setShared(m_settings.get());

    // 3. The history: loads the file and, unless switched off, starts
    //    watching the clipboard.
    m_pasteboard = std::make_unique<X11Pasteboard>(QApplication::clipboard());
    m_clock = std::make_unique<SystemClock>();
    m_store = std::make_unique<ClipboardStore>(*m_settings, *m_pasteboard, *m_clock,
                                               ClipboardStore::defaultHistoryFilePath());
    ClipboardStore::setShared(m_store.get());

    // 5. The tray icon with its popover, then 6. the shortcut that toggles it.
    m_menuBarController = std::make_unique<MenuBarController>(*m_settings, *m_store, *m_pasteboard);
    MenuBarController::setShared(m_menuBarController.get());
    m_hotKeyManager = std::make_unique<GlobalHotKeyManager>(
        HotKeyRegistrar::create(), [] { MenuBarController::shared().statusItemClicked(); });
    GlobalHotKeyManager::setShared(m_hotKeyManager.get());
}

void AppComposition::terminate()
{
    if (m_store)
        m_store->stopMonitoring();
    QApplication::quit();
}
