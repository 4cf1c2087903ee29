// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QPointer>

class AppSettings;
class ClipboardStore;
class Clock;
class Dialogs;
class SettingsView;
class Theme;

// Owns the one settings window: built on first use and centred on the
// screen (no larger than the screen allows), then shown again where the
// user left it and brought to the front however often it is asked for.
// Closing only hides it.
class SettingsWindow : public QObject {
    Q_OBJECT
public:
    SettingsWindow(AppSettings &settings, ClipboardStore &store, Dialogs &dialogs,
                   const Clock &clock, const Theme &theme, QObject *parent = nullptr);
    ~SettingsWindow() override;

    void showOrRaise();
    // Null until the window was first shown.
    [[nodiscard]] SettingsView *view() const;

private:
    AppSettings &m_settings;
    ClipboardStore &m_store;
    Dialogs &m_dialogs;
    const Clock &m_clock;
    const Theme &m_theme;
    QPointer<SettingsView> m_view;
};
