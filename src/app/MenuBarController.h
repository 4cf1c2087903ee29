// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "AppRequest.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

class AppWindowManager;
class ClipboardStore;
class MenuBarPopoverView;
class Pasteboard;
class Theme;
class QProcessEnvironment;
class QSystemTrayIcon;

// Quillmark's presence in the tray: the star icon, tinted with the accent
// colour, and the popover it opens. A left click on the icon and the popover's
// "Settings" link are posted as requests (requested()) to the one handler of
// every way in, which toggles the popover through statusItemClicked(); the
// popover gets from here the two things it cannot do itself, toggling the
// main window and closing.
// Without a tray (bare X servers, some desktops) the shortcut still opens the
// popover at the pointer, and the icon appears once a tray host starts.
class MenuBarController final : public QObject {
    Q_OBJECT
public:
    // What kind of window the popover is. On X11 a popup: it takes the
    // keyboard and the pointer itself and closes on a click outside. In a
    // Wayland session Quillmark runs through XWayland, and KWin and mutter
    // give the keyboard only to windows they manage, never to a popup
    // (override-redirect) window: there the popover is a frameless window
    // that the compositor activates and that closes when it loses the
    // activation, as a popup closes on a click elsewhere.
    enum class PopoverKind { popup, activatedWindow };
    [[nodiscard]] static PopoverKind popoverKindFor(const QProcessEnvironment &environment);

    MenuBarController(const Theme &theme, ClipboardStore &store, Pasteboard &pasteboard,
                      AppWindowManager &windowManager, PopoverKind kind = PopoverKind::popup,
                      QObject *parent = nullptr);
    ~MenuBarController() override;

    // A click on the icon, the shortcut or a later launch's toggle: close
    // when shown, open otherwise; ignored while the press that just closed
    // the popover is still being handled.
    void statusItemClicked();
    // Opens the popover under the icon (at the pointer without a usable
    // icon position) with the keyboard in its search field; closes it when
    // it is already shown.
    void togglePopover();
    void closePopover();
    // Shows the main window when it is hidden, hides it otherwise; the
    // popover stays as it is (its button closes it afterwards).
    void toggleMainWindow();
    [[nodiscard]] bool isPopoverShown() const;

    // Built the first time it is needed (opened, or asked for here): start-up
    // then pays for no fonts or icons of a window the user may not open.
    [[nodiscard]] MenuBarPopoverView &popover();

    // Where a popover of `size` goes: centred under `icon`, or above it when
    // the icon sits in the lower half of `screen`; at `pointer` when the icon
    // has no usable geometry. Always inside `screen`.
    [[nodiscard]] static QRect popoverGeometry(const QRect &icon, const QPoint &pointer,
                                               const QSize &size, const QRect &screen);

Q_SIGNALS:
    // A click on the icon (togglePopover) or the "Settings" link
    // (openSettings), for the application's request handler.
    void requested(const AppRequest &request);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateStatusItemAppearance();
    void showPopover();
    void closeForLostActivation();

    const Theme &m_theme;
    ClipboardStore &m_store;
    Pasteboard &m_pasteboard;
    AppWindowManager &m_windowManager;
    QSystemTrayIcon *m_statusItem;
    // A top-level popup once built; deleted with the controller.
    MenuBarPopoverView *m_popover = nullptr;
    // Set while the press that closed the popover is being handled, so that
    // the same click landing on the icon does not open it again.
    bool m_closedByThisPress = false;
    const PopoverKind m_kind;
    // Since the activated-window popover last closed because it lost the
    // activation: a click on the icon takes the activation first, and its
    // toggle that follows must not reopen what the click just closed.
    QElapsedTimer m_sinceDeactivated;
    // Since the popover was last shown, and how many times it was: a lost
    // activation in its first moments closes it only if it stays lost.
    QElapsedTimer m_sinceShown;
    int m_shownCount = 0;
    bool m_closingPopover = false;
};
