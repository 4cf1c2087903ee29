#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

#include <functional>

class AppSettings;
class AppWindowManager;
class ClipboardStore;
class MenuBarPopoverView;
class Pasteboard;
class QSystemTrayIcon;

// Quillmark's presence in the tray: the star icon, tinted with the accent
// colour, and the popover it opens. A left click on the icon and the global
// shortcut both come here and toggle the popover; the popover gets from here
// the two things it cannot do itself, toggling the main window and closing.
// Without a tray (bare X servers, some desktops) the shortcut still opens the
// popover at the pointer, and the icon appears once a tray host starts.
class MenuBarController final : public QObject {
    Q_OBJECT
public:
    MenuBarController(AppSettings &settings, ClipboardStore &store, Pasteboard &pasteboard,
                      QObject *parent = nullptr);
    ~MenuBarController() override;

    [[nodiscard]] static MenuBarController &shared();
    static void setShared(MenuBarController *instance);

    // A click on the icon, or the shortcut: close when shown, open otherwise.
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

    // What the popover's "Settings" link does.
    void setOnOpenSettings(std::function<void()> action);

    [[nodiscard]] MenuBarPopoverView &popover() const { return *m_popover; }
    [[nodiscard]] QSystemTrayIcon &statusItem() const { return *m_statusItem; }

    // Where a popover of `size` goes: centred under `icon`, or above it when
    // the icon sits in the lower half of `screen`; at `pointer` when the icon
    // has no usable geometry. Always inside `screen`.
    [[nodiscard]] static QRect popoverGeometry(const QRect &icon, const QPoint &pointer,
                                               const QSize &size, const QRect &screen);

Q_SIGNALS:
    void popoverShown();
    void popoverClosed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateStatusItemAppearance();
    void showPopover();
    void followMainWindow();

    AppSettings &m_settings;
    ClipboardStore &m_store;
    QSystemTrayIcon *m_statusItem;
    MenuBarPopoverView *m_popover; // a top-level popup; deleted with the controller
    // Set while the press that closed the popover is being handled, so that
    // the same click landing on the icon does not open it again.
    bool m_closedByThisPress = false;
    QPointer<AppWindowManager> m_followedWindowManager;
    QMetaObject::Connection m_mainWindowConnection;
};
