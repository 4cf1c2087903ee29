// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AppWindowManager.h"

#include "ContentView.h"
#include "Theme.h"
#include "WindowPlacement.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QVBoxLayout>
#include <QWidget>

#include <functional>

namespace {

constexpr QSize kInitialSize(1200, 820);

// The top-level window: its close button hides it instead. When the
// application quits, Qt closes every window first and gives up quitting if
// one refuses, so then the window lets itself be closed.
class MainWindow final : public QWidget {
public:
    explicit MainWindow(std::function<void()> onClose) : m_onClose(std::move(onClose))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == qApp && event->type() == QEvent::Quit)
            m_quitting = true;
        return false;
    }

    void closeEvent(QCloseEvent *event) override
    {
        if (m_quitting)
            return;
        event->ignore();
        m_onClose();
    }

private:
    std::function<void()> m_onClose;
    bool m_quitting = false;
};

} // namespace

AppWindowManager::AppWindowManager(ClipboardStore &store, AppSettings &settings, const Theme &theme,
                                   Pasteboard *pasteboard, QObject *parent)
    : QObject(parent), m_store(store), m_settings(settings), m_theme(theme),
      m_pasteboard(pasteboard)
{
}

AppWindowManager::~AppWindowManager() = default;

QWidget *AppWindowManager::mainWindow() const
{
    return m_window.get();
}

void AppWindowManager::buildWindow()
{
    m_window = std::make_unique<MainWindow>([this] { hideMainWindow(); });
    m_window->setWindowTitle(QStringLiteral("Quillmark"));
    // The window too, not only its content: Qt fills it with its palette
    // behind the content, and the item sheet and dialogs take it from there.
    m_theme.follow(m_window.get());
    m_window->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                             Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    auto *layout = new QVBoxLayout(m_window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new ContentView(m_store, m_settings, m_theme, m_pasteboard, m_window.get()));

    // Centred once, here, at 1200 x 820 where the screen has room and as
    // large as fits where it has not; later showings keep the user's
    // position and size.
    WindowPlacement::placeCentred(m_window.get(), kInitialSize);
}

void AppWindowManager::showMainWindow()
{
    if (!m_window)
        buildWindow();
    if (m_window->isMinimized())
        m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    setMainWindowVisible(true);
}

void AppWindowManager::hideMainWindow()
{
    if (m_window)
        m_window->hide();
    setMainWindowVisible(false);
}

void AppWindowManager::setMainWindowVisible(bool visible)
{
    if (visible == m_isMainWindowVisible)
        return;
    m_isMainWindowVisible = visible;
    Q_EMIT isMainWindowVisibleChanged(visible);
}
