#pragma once

#include <QObject>
#include <QPointer>

class AppSettings;
class ClipboardStore;
class Clock;
class Dialogs;
class SettingsView;

// Owns the one settings window: built on first use, then shown again and
// brought to the front however often it is asked for. Closing only hides it.
class SettingsWindow : public QObject {
    Q_OBJECT
public:
    SettingsWindow(AppSettings &settings, ClipboardStore &store, Dialogs &dialogs,
                   const Clock &clock, QObject *parent = nullptr);
    ~SettingsWindow() override;

    void showOrRaise();
    // Null until the window was first shown.
    [[nodiscard]] SettingsView *view() const;

private:
    AppSettings &m_settings;
    ClipboardStore &m_store;
    Dialogs &m_dialogs;
    const Clock &m_clock;
    QPointer<SettingsView> m_view;
};
