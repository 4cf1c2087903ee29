// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

#include <memory>

class AppSettings;
class ClipboardStore;
class Pasteboard;
class QWidget;
class Theme;

// Owns the main history window. The window is built on first show and then
// kept for the life of the process: closing it only hides it, so the
// browser's selected day and search are still there next time. Publishes
// whether the window is shown, for the tray's window button. One instance
// per process, built by AppDelegate.
class AppWindowManager : public QObject {
    Q_OBJECT
public:
    AppWindowManager(ClipboardStore &store, AppSettings &settings, const Theme &theme,
                     Pasteboard *pasteboard, QObject *parent = nullptr);
    ~AppWindowManager() override;

    [[nodiscard]] bool isMainWindowVisible() const { return m_isMainWindowVisible; }
    // Builds the window if needed, then brings it to the front and activates it.
    void showMainWindow();
    void hideMainWindow();

    // The window, or null before the first showMainWindow().
    [[nodiscard]] QWidget *mainWindow() const;

Q_SIGNALS:
    void isMainWindowVisibleChanged(bool visible);

private:
    void buildWindow();
    void setMainWindowVisible(bool visible);

    ClipboardStore &m_store;
    AppSettings &m_settings;
    const Theme &m_theme;
    Pasteboard *m_pasteboard;
    std::unique_ptr<QWidget> m_window;
    bool m_isMainWindowVisible = false;
};
