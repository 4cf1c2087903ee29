// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "MenuBarController.h"

#include "AppWindowManager.h"
#include "ConsoleOutput.h"
#include "DisplaySession.h"
#include "MenuBarPopoverView.h"
#include "Symbols.h"
#include "Theme.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {
constexpr int iconGap = 4;
// How long after the popover lost the activation a toggle counts as the
// click that took it.
constexpr qint64 deactivationGraceMs = 400;
// How long after showing the popover a lost activation waits to see whether
// it comes back: KWin may pass the activation to the window underneath and
// back again while it maps the popover.
constexpr qint64 settleMs = 500;
} // namespace

MenuBarController::PopoverKind
MenuBarController::popoverKindFor(const QProcessEnvironment &environment)
{
    return DisplaySession::isWaylandSession(environment) ? PopoverKind::activatedWindow
                                                         : PopoverKind::popup;
}

MenuBarController::MenuBarController(const Theme &theme, ClipboardStore &store,
                                     Pasteboard &pasteboard, AppWindowManager &windowManager,
                                     PopoverKind kind, QObject *parent)
    : QObject(parent), m_theme(theme), m_store(store), m_pasteboard(pasteboard),
      m_windowManager(windowManager), m_statusItem(new QSystemTrayIcon(this)), m_kind(kind)
{
    updateStatusItemAppearance();
    m_statusItem->setToolTip(tr("Clipboard History"));
    connect(m_statusItem, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                // Only the left button; the right one has no menu. A second
                // click soon after the first arrives as a double click.
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                    Q_EMIT requested({AppRequest::Action::togglePopover});
            });
    connect(&m_theme, &Theme::changed, this, &MenuBarController::updateStatusItemAppearance);

    if (!QSystemTrayIcon::isSystemTrayAvailable())
        printLine(tr("No system tray available: open the popover with Alt+Shift+V"));
    // Shown either way: Qt embeds the icon as soon as a tray host appears.
    m_statusItem->show();
}

MenuBarController::~MenuBarController()
{
    delete m_popover;
}

MenuBarPopoverView &MenuBarController::popover()
{
    if (m_popover)
        return *m_popover;
    m_popover = new MenuBarPopoverView(m_theme, m_store, m_pasteboard);
    // A tool window stays out of the taskbar and the window switcher.
    m_popover->setWindowFlags(m_kind == PopoverKind::popup
                                  ? Qt::Popup
                                  : Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    m_popover->installEventFilter(this);
    m_popover->setOnClosePopover([guard = QPointer(this)] {
        if (guard)
            guard->closePopover();
    });
    m_popover->setOnToggleMainWindow([guard = QPointer(this)] {
        if (guard)
            guard->toggleMainWindow();
    });
    m_popover->setOnOpenSettings([guard = QPointer(this)] {
        if (guard)
            Q_EMIT guard->requested({AppRequest::Action::openSettings});
    });
    connect(&m_windowManager, &AppWindowManager::isMainWindowVisibleChanged, m_popover,
            &MenuBarPopoverView::setMainWindowVisible);
    return *m_popover;
}

void MenuBarController::statusItemClicked()
{
    if (m_closedByThisPress)
        return;
    if (m_sinceDeactivated.isValid() && m_sinceDeactivated.elapsed() < deactivationGraceMs)
        return;
    if (isPopoverShown())
        closePopover();
    else
        togglePopover();
}

void MenuBarController::togglePopover()
{
    if (isPopoverShown()) {
        closePopover();
        return;
    }
    showPopover();
}

void MenuBarController::closePopover()
{
    if (!isPopoverShown())
        return;
    // Qt takes the activation from a window it hides while the window still
    // counts as visible: that is not the user going elsewhere.
    m_closingPopover = true;
    m_popover->close();
    m_closingPopover = false;
}

void MenuBarController::closeForLostActivation()
{
    m_sinceDeactivated.start();
    closePopover();
}

void MenuBarController::toggleMainWindow()
{
    if (m_windowManager.isMainWindowVisible())
        m_windowManager.hideMainWindow();
    else
        m_windowManager.showMainWindow();
}

bool MenuBarController::isPopoverShown() const
{
    return m_popover && m_popover->isVisible();
}

QRect MenuBarController::popoverGeometry(const QRect &icon, const QPoint &pointer,
                                         const QSize &size, const QRect &screen)
{
    QRect result(QPoint(), size);
    if (icon.isValid() && !icon.isEmpty()) {
        result.moveLeft(icon.center().x() - size.width() / 2);
        if (icon.center().y() > screen.center().y())
            result.moveBottom(icon.top() - 1 - iconGap);
        else
            result.moveTop(icon.bottom() + 1 + iconGap);
    } else {
        result.moveTopLeft(pointer);
        if (pointer.y() > screen.center().y())
            result.moveBottom(pointer.y());
    }
    // Kept on the screen, the top-left corner winning when it is too small.
    result.moveLeft(
        std::max(screen.left(), std::min(result.left(), screen.right() - size.width() + 1)));
    result.moveTop(
        std::max(screen.top(), std::min(result.top(), screen.bottom() - size.height() + 1)));
    return result;
}

void MenuBarController::showPopover()
{
    // A tray icon that is not embedded reports a stale or empty rectangle.
    const QRect icon =
        QSystemTrayIcon::isSystemTrayAvailable() ? m_statusItem->geometry() : QRect();
    const QPoint pointer = QCursor::pos();
    const QPoint probe = icon.isValid() && !icon.isEmpty() ? icon.center() : pointer;
    QScreen *screen = QGuiApplication::screenAt(probe);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area =
        screen ? screen->geometry() : QRect(QPoint(), MenuBarPopoverView::popoverSize);

    MenuBarPopoverView &view = popover();
    view.setMainWindowVisible(m_windowManager.isMainWindowVisible());
    view.prepareForShowing();
    view.setGeometry(popoverGeometry(icon, pointer, MenuBarPopoverView::popoverSize, area));
    view.show();
    view.raise();
    view.activateWindow();
    ++m_shownCount;
    m_sinceShown.start();
}

void MenuBarController::updateStatusItemAppearance()
{
    m_statusItem->setIcon(Symbols::icon(Symbol::starHexagonFill, m_theme.accent()));
}

bool MenuBarController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_popover) {
        if (event->type() == QEvent::MouseButtonPress) {
            // A press outside a popup closes it; when that press is on the
            // icon, the icon then reports a click of its own, which must not
            // reopen what the user just closed.
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (!m_popover->rect().contains(mouse->position().toPoint())) {
                m_closedByThisPress = true;
                QTimer::singleShot(0, this, [this] { m_closedByThisPress = false; });
            }
        } else if (event->type() == QEvent::WindowDeactivate &&
                   m_kind == PopoverKind::activatedWindow && isPopoverShown() &&
                   !m_closingPopover) {
            if (m_sinceShown.elapsed() >= settleMs) {
                closeForLostActivation();
            } else {
                QTimer::singleShot(settleMs - m_sinceShown.elapsed(), this,
                                   [this, shown = m_shownCount] {
                                       if (shown == m_shownCount && isPopoverShown() &&
                                           !m_popover->isActiveWindow())
                                           closeForLostActivation();
                                   });
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
