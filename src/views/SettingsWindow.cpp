#include "SettingsWindow.h"

#include "SettingsView.h"

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
    if (!m_view)
        m_view = new SettingsView(m_settings, m_store, m_dialogs, m_clock);
    if (m_view->isMinimized())
        m_view->showNormal();
    m_view->show();
    m_view->raise();
    m_view->activateWindow();
}
