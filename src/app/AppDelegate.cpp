// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AppDelegate.h"

#include "AppSettings.h"
#include "AppWindowManager.h"
#include "ClipboardStore.h"
#include "ConsoleOutput.h"
#include "DisplaySession.h"
#include "GlobalHotKeyManager.h"
#include "GlobalShortcutsPortal.h"
#include "HotKeyRegistrarFactory.h"
#include "JsonSettingsBackend.h"
#include "MenuBarController.h"
#include "MenuBarPopoverView.h"
#include "PasteboardFactory.h"
#include "QtDialogs.h"
#include "QuitController.h"
#include "SettingsView.h"
#include "SettingsWindow.h"
#include "SystemClock.h"
#include "SystemPasteboard.h"
#include "TaskbarPresence.h"
#include "TaskbarPresenceFactory.h"
#include "TerminationSignals.h"
#include "Theme.h"
#include "WaylandShortcutManager.h"
#include "WindowActivation.h"
#include "XdgAutostartLoginItem.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcessEnvironment>
#include <QShortcut>
#include <QSystemTrayIcon>
#include <QWidget>
#include <QWindow>

AppDelegate::Desktop AppDelegate::userDesktop()
{
    return {
        [] { return std::make_unique<JsonSettingsBackend>(); },
        [] { return std::make_unique<XdgAutostartLoginItem>(); },
        [] { return PasteboardFactory::create(); },
        [](const Theme &theme) {
            auto dialogs = std::make_unique<QtDialogs>();
            dialogs->setAppearance([&theme](QWidget *dialog) { theme.applyTo(dialog); });
            return dialogs;
        },
        ClipboardStore::defaultHistoryFilePath(),
    };
}

AppDelegate::AppDelegate(Desktop desktop) : m_desktop(std::move(desktop)) {}

AppDelegate::~AppDelegate()
{
    // Windows first, then the objects behind them.
    delete m_settingsWindow;
    m_waylandShortcut.reset();
}

void AppDelegate::applicationDidFinishLaunching()
{
    // Caught since main() began (a signal during launch waits in its pipe
    // for the event loop), handled below once QuitController exists.
    m_terminationSignals = new TerminationSignals(this);

    // 1. Settings first: loading them re-applies the login item.
    m_settingsBackend = m_desktop.settingsBackend();
    m_loginItem = m_desktop.loginItem();
    m_settings = std::make_unique<AppSettings>(*m_settingsBackend, *m_loginItem);
    // The look of every window and dialog, from the appearance settings.
    m_theme = std::make_unique<Theme>(*m_settings);

    // 2. Taskbar presence follows "Show Dock Icon" now and on every real
    //    change (AppSettings announces changes only).
    m_taskbarPresence = TaskbarPresenceFactory::create();
    applyDockIconVisibility(m_settings->showDockIcon());
    connect(m_settings.get(), &AppSettings::showDockIconChanged, this,
            &AppDelegate::applyDockIconVisibility);

    // 3. The history: loads the file and, unless switched off, starts
    //    watching the clipboard.
    m_pasteboard = m_desktop.pasteboard();
    m_clock = std::make_unique<SystemClock>();
    m_store = std::make_unique<ClipboardStore>(*m_settings, *m_pasteboard, *m_clock,
                                               m_desktop.historyFile);

    // 4. The windows, built when first shown, and the questions they ask.
    m_dialogs = m_desktop.dialogs(*m_theme);
    m_settingsWindow = new SettingsWindow(*m_settings, *m_store, *m_dialogs, *m_clock, *m_theme);
    m_quitController = new QuitController(
        *m_dialogs, [this] { m_store->stopMonitoring(); }, this);
    m_quitController->install();
    // SIGINT and SIGTERM end Quillmark the same way, without asking.
    connect(m_terminationSignals, &TerminationSignals::received, m_quitController,
            &QuitController::terminate);

    // 5. The history window's owner; the window itself is built when first
    //    shown.
    m_windowManager =
        std::make_unique<AppWindowManager>(*m_store, *m_settings, *m_theme, m_pasteboard.get());
    connect(m_windowManager.get(), &AppWindowManager::isMainWindowVisibleChanged, this,
            &AppDelegate::addMainWindowShortcuts);

    // 6. The tray icon with its popover, then 7. the shortcut that toggles it.
    m_menuBarController = std::make_unique<MenuBarController>(
        *m_theme, *m_store, *m_pasteboard, *m_windowManager,
        MenuBarController::popoverKindFor(QProcessEnvironment::systemEnvironment()));
    connect(m_menuBarController.get(), &MenuBarController::requested, this,
            &AppDelegate::handleRequest);
    m_hotKeyManager =
        std::make_unique<GlobalHotKeyManager>(HotKeyRegistrarFactory::create(), [this] {
            handleRequest({AppRequest::Action::togglePopover});
        });

    // A Wayland session says how its shortcut and tray are reached: the X11
    // grab sees keys only while an X11 window has focus, so the desktop is
    // asked for the shortcut too.
    if (DisplaySession::isWaylandSession(QProcessEnvironment::systemEnvironment())) {
        // Without any tray the controller has said so already.
        const QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
        if (bus && bus->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")))
            printLine(tr("Tray: icon shown through the desktop's StatusNotifierItem host"));
        else if (QSystemTrayIcon::isSystemTrayAvailable())
            printLine(tr("Tray: icon shown in the X11 system tray"));
        m_waylandShortcut = std::make_unique<WaylandShortcutManager>(
            new GlobalShortcutsPortal(QDBusConnection::sessionBus()), *m_hotKeyManager,
            [this](const QByteArray &token) {
                handleRequest({AppRequest::Action::togglePopover, token});
            });
    }
}

AppDelegate::Shared AppDelegate::shared() const
{
    return {*m_settings, *m_store, *m_windowManager, *m_menuBarController, *m_hotKeyManager};
}

void AppDelegate::handleRequest(const AppRequest &request)
{
    switch (request.action) {
    case AppRequest::Action::reopen:
        if (!hasVisibleWindows())
            m_windowManager->showMainWindow();
        break;
    case AppRequest::Action::togglePopover:
        m_menuBarController->statusItemClicked();
        break;
    case AppRequest::Action::showHistory:
        m_windowManager->showMainWindow();
        break;
    case AppRequest::Action::openSettings:
        showSettings();
        break;
    case AppRequest::Action::quit:
        m_quitController->requestTermination();
        break;
    case AppRequest::Action::copyItem:
        copyItem(request.item);
        break;
    }
    presentActivationToken(request);
}

void AppDelegate::presentActivationToken(const AppRequest &request)
{
    if (request.activationToken.isEmpty())
        return;
    QWidget *opened = nullptr;
    switch (request.action) {
    case AppRequest::Action::togglePopover:
        opened = &m_menuBarController->popover();
        break;
    case AppRequest::Action::reopen:
    case AppRequest::Action::showHistory:
        opened = m_windowManager->mainWindow();
        break;
    case AppRequest::Action::openSettings:
        opened = m_settingsWindow->view();
        break;
    case AppRequest::Action::quit:     // the confirmation is modal and answered by now
    case AppRequest::Action::copyItem: // opens no window
        break;
    }
    if (opened && opened->isVisible())
        WindowActivation::activate(opened->windowHandle(), request.activationToken);
}

void AppDelegate::copyItem(qint64 position)
{
    // The command line checked the number against the file; the list may
    // have changed since (a copy, a prune), and then nothing is copied.
    const QList<ClipboardItem> &items = m_store->items();
    if (position < 1 || position > items.size()) {
        printLine(QStringLiteral("No clipboard history item %1 to copy").arg(position));
        return;
    }
    m_pasteboard->writeBack(items.at(position - 1).content.toString());
}

bool AppDelegate::hasVisibleWindows()
{
    const QWindowList windows = QGuiApplication::topLevelWindows();
    for (const QWindow *window : windows) {
        const Qt::WindowType type = window->type();
        if (window->isVisible() && (type == Qt::Window || type == Qt::Dialog))
            return true;
    }
    return false;
}

void AppDelegate::addMainWindowShortcuts()
{
    QWidget *window = m_windowManager->mainWindow();
    if (m_mainWindowShortcutsAdded || !window)
        return;
    m_mainWindowShortcutsAdded = true;
    auto *settings = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma), window);
    connect(settings, &QShortcut::activated, this, &AppDelegate::showSettings);
}

void AppDelegate::applyDockIconVisibility(bool show)
{
    QMetaObject::invokeMethod(
        this, [this, show] { m_taskbarPresence->setShownInTaskbar(show); }, Qt::QueuedConnection);
}

void AppDelegate::showSettings()
{
    m_settingsWindow->showOrRaise();
}
