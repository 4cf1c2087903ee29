// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SettingsWindow.h"

#include "SettingsView.h"
#include "WindowPlacement.h"

SettingsWindow::SettingsWindow(AppSettings &settings, ClipboardStore &store, Dialogs &dialogs,
                               const Clock &clock, const Theme &theme, QObject *parent)
    : QObject(parent), m_settings(settings), m_store(store), m_dialogs(dialogs), m_clock(clock),
      m_theme(theme)
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
        m_view = new SettingsView(m_settings, m_store, m_dialogs, m_clock, m_theme);
        // On a screen lower than the window's 820-pixel minimum the window
        // is as high as the screen allows and its form scrolls.
        WindowPlacement::placeCentred(m_view, m_view->size());
    }
    if (m_view->isMinimized())
        m_view->showNormal();
    m_view->show();
    m_view->raise();
    m_view->activateWindow();
}
