#include "MenuBarController.h"

#include "AppSettings.h"
#include "AppWindowManager.h"
#include "Appearance.h"
#include "ConsoleOutput.h"
#include "MenuBarPopoverView.h"
#include "Symbols.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {
MenuBarController *sharedInstance = nullptr;
constexpr int iconGap = 4;
} // namespace

MenuBarController::MenuBarController(AppSettings &settings, ClipboardStore &store,
                                     Pasteboard &pasteboard, QObject *parent)
    : QObject(parent), m_settings(settings), m_store(store),
      m_statusItem(new QSystemTrayIcon(this)),
      m_popover(new MenuBarPopoverView(settings, store, pasteboard))
{
    m_popover->setWindowFlags(Qt::Popup);
    m_popover->installEventFilter(this);
    m_popover->setOnClosePopover([guard = QPointer(this)] {
        if (guard)
            guard->closePopover();
    });
    m_popover->setOnToggleMainWindow([guard = QPointer(this)] {
        if (guard)
            guard->toggleMainWindow();
    });

    updateStatusItemAppearance();
    m_statusItem->setToolTip(tr("Clipboard History"));
    connect(m_statusItem, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                // Only the left button; the right one has no menu. A second
                // click soon after the first arrives as a double click.
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                    statusItemClicked();
            });
    connect(&m_settings, &AppSettings::accentColorChoiceChanged, this,
            &MenuBarController::updateStatusItemAppearance);

    if (!QSystemTrayIcon::isSystemTrayAvailable())
        printLine(tr("No system tray available: open the popover with Alt+Shift+V"));
    // Shown either way: Qt embeds the icon as soon as a tray host appears.
    m_statusItem->show();
}

MenuBarController::~MenuBarController()
{
    delete m_popover;
    if (sharedInstance == this)
        sharedInstance = nullptr;
}

MenuBarController &MenuBarController::shared()
{
    Q_ASSERT(sharedInstance);
    return *sharedInstance;
}

void MenuBarController::setShared(MenuBarController *instance)
{
    sharedInstance = instance;
}

void MenuBarController::statusItemClicked()
{
    if (m_closedByThisPress)
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
    if (isPopoverShown())
        m_popover->close();
}

void MenuBarController::toggleMainWindow()
{
    AppWindowManager &windows = AppWindowManager::shared();
    if (windows.isMainWindowVisible())
        windows.hideMainWindow();
    else
        windows.showMainWindow();
}

void MenuBarController::followMainWindow()
{
    // The window manager is built before this controller, but tests and
    // other hosts may install it later: connect on first showing.
    AppWindowManager &windows = AppWindowManager::shared();
    if (m_followedWindowManager != &windows) {
        disconnect(m_mainWindowConnection);
        m_mainWindowConnection = connect(&windows, &AppWindowManager::isMainWindowVisibleChanged,
                                         m_popover, &MenuBarPopoverView::setMainWindowVisible);
        m_followedWindowManager = &windows;
    }
    m_popover->setMainWindowVisible(windows.isMainWindowVisible());
}

bool MenuBarController::isPopoverShown() const
{
    return m_popover->isVisible();
}

void MenuBarController::setOnOpenSettings(std::function<void()> action)
{
    m_popover->setOnOpenSettings(std::move(action));
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

    followMainWindow();
    m_popover->prepareForShowing();
    m_popover->setGeometry(popoverGeometry(icon, pointer, MenuBarPopoverView::popoverSize, area));
    m_popover->show();
    m_popover->raise();
    m_popover->activateWindow();
    Q_EMIT popoverShown();
}

void MenuBarController::updateStatusItemAppearance()
{
    const QColor accent = Appearance::accentColor(m_settings.accentColorChoice());
    m_statusItem->setIcon(Symbols::icon(QStringLiteral("star.hexagon.fill"), accent));
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
        } else if (event->type() == QEvent::Hide) {
            Q_EMIT popoverClosed();
        }
    }
    return QObject::eventFilter(watched, event);
}
