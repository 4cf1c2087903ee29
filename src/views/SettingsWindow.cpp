#include "SettingsWindow.h"

#include "SettingsView.h"

#include <QScreen>

namespace {

// Room for the title bar and borders, which the window manager adds.
constexpr int kFrameAllowance = 40;

// The window is at least 820 high; on a lower screen (a 768-pixel laptop)
// that would put its bottom out of reach, so there it is as high as the
// screen allows and the form scrolls.
void fitToScreen(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    const int room = screen->availableGeometry().height() - kFrameAllowance;
    if (room >= window->minimumHeight())
        return;
    window->setMinimumHeight(std::max(room, 400));
    window->resize(window->width(), window->minimumHeight());
}

} // namespace

SettingsWindow::SettingsWindow(AppSettings &settings, ClipboardStore &store, Dialogs &dialogs,
                               const Clock &clock, QObject *parent)
    : QObject(parent), m_settings(settings), m_store(store), m_dialogs(dialogs), m_clock(clock)
{
}

SettingsWindow::~SettingsWindow()
{
    delete m_view;
}

SettingsView *SettingsWindow::view() const
{
    return m_view;
}

void SettingsWindow::showOrRaise()
{
    if (!m_view) {
        m_view = new SettingsView(m_settings, m_store, m_dialogs, m_clock);
        fitToScreen(m_view);
    }
    if (m_view->isMinimized())
        m_view->showNormal();
    m_view->show();
    m_view->raise();
    m_view->activateWindow();
}
