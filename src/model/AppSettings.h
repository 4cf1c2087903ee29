// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "SettingsEnums.h"

#include <QObject>
#include <QString>

class LoginItem;
class SettingsBackend;

// The ten user preferences. Loaded once from the settings backend at
// construction (writing nothing), written back in full on every assignment,
// and kept in step with the login item. One instance per process, built
// by AppDelegate and handed to whatever needs it; tests build their own with fakes.
//
// Change notification: `aboutToChange()` before any property changes, then
// the property's own `<name>Changed(value)` signal after. Assigning a value
// equal to the current one still saves (and re-applies the login item) but
// emits no `<name>Changed`. Subscribers that want "the current value at
// subscription" connect and then read the property once.
class AppSettings : public QObject {
    Q_OBJECT
public:
    AppSettings(SettingsBackend &backend, LoginItem &loginItem, QObject *parent = nullptr);
    ~AppSettings() override;

    // One accessor pair per setting; the setters other than launchAtLogin's
    // go through assign().
    [[nodiscard]] bool launchAtLogin() const { return m_launchAtLogin; }
    void setLaunchAtLogin(bool value);
    [[nodiscard]] bool startMonitoringImmediately() const { return m_startMonitoringImmediately; }
    void setStartMonitoringImmediately(bool value)
    {
        assign(m_startMonitoringImmediately, value,
               &AppSettings::startMonitoringImmediatelyChanged);
    }
    [[nodiscard]] bool showDockIcon() const { return m_showDockIcon; }
    void setShowDockIcon(bool value)
    {
        assign(m_showDockIcon, value, &AppSettings::showDockIconChanged);
    }
    [[nodiscard]] RetentionPeriod retentionPeriod() const { return m_retentionPeriod; }
    void setRetentionPeriod(RetentionPeriod value)
    {
        assign(m_retentionPeriod, value, &AppSettings::retentionPeriodChanged);
    }
    [[nodiscard]] CaptureMode captureMode() const { return m_captureMode; }
    void setCaptureMode(CaptureMode value)
    {
        assign(m_captureMode, value, &AppSettings::captureModeChanged);
    }
    [[nodiscard]] DuplicateSuppressionWindow duplicateSuppressionWindow() const
    {
        return m_duplicateSuppressionWindow;
    }
    void setDuplicateSuppressionWindow(DuplicateSuppressionWindow value)
    {
        assign(m_duplicateSuppressionWindow, value,
               &AppSettings::duplicateSuppressionWindowChanged);
    }
    [[nodiscard]] PreviewLineCount previewLineCount() const { return m_previewLineCount; }
    void setPreviewLineCount(PreviewLineCount value)
    {
        assign(m_previewLineCount, value, &AppSettings::previewLineCountChanged);
    }
    [[nodiscard]] ThemeMode themeMode() const { return m_themeMode; }
    void setThemeMode(ThemeMode value)
    {
        assign(m_themeMode, value, &AppSettings::themeModeChanged);
    }
    [[nodiscard]] FontSizeChoice fontSizeChoice() const { return m_fontSizeChoice; }
    void setFontSizeChoice(FontSizeChoice value)
    {
        assign(m_fontSizeChoice, value, &AppSettings::fontSizeChoiceChanged);
    }
    [[nodiscard]] AccentColorChoice accentColorChoice() const { return m_accentColorChoice; }
    void setAccentColorChoice(AccentColorChoice value)
    {
        assign(m_accentColorChoice, value, &AppSettings::accentColorChoiceChanged);
    }

    // Writes all ten settings to the backend.
    void save();
    // Registers or unregisters the login item to match launchAtLogin; a
    // failure prints "Launch at login update failed: <description>".
    void applyLaunchAtLogin();

    // "Unknown" when the build did not record them.
    [[nodiscard]] static QString appVersion();
    [[nodiscard]] static QString buildNumber();

Q_SIGNALS:
    void aboutToChange();
    void launchAtLoginChanged(bool value);
    void startMonitoringImmediatelyChanged(bool value);
    void showDockIconChanged(bool value);
    void retentionPeriodChanged(RetentionPeriod value);
    void captureModeChanged(CaptureMode value);
    void duplicateSuppressionWindowChanged(DuplicateSuppressionWindow value);
    void previewLineCountChanged(PreviewLineCount value);
    void themeModeChanged(ThemeMode value);
    void fontSizeChoiceChanged(FontSizeChoice value);
    void accentColorChoiceChanged(AccentColorChoice value);

private:
    // Every assignment announces the change, stores, and writes all ten keys,
    // even when the value is unchanged; the setting's own signal fires only
    // for a different value.
    template <typename T> void assign(T &field, T value, void (AppSettings::*changed)(T))
    {
        Q_EMIT aboutToChange();
        const bool differs = field != value;
        field = value;
        save();
        if (differs)
            Q_EMIT(this->*changed)(value);
    }

    template <typename T> struct Setting;
    // Calls `visit` with each row of the settings table, in save order.
    template <typename Visit> static void forEachSetting(Visit visit);

    SettingsBackend &m_backend;
    LoginItem &m_loginItem;
    bool m_isLoading = true;

    // Loaded from the settings table at construction.
    bool m_launchAtLogin;
    bool m_startMonitoringImmediately;
    bool m_showDockIcon;
    RetentionPeriod m_retentionPeriod;
    CaptureMode m_captureMode;
    DuplicateSuppressionWindow m_duplicateSuppressionWindow;
    PreviewLineCount m_previewLineCount;
    ThemeMode m_themeMode;
    FontSizeChoice m_fontSizeChoice;
    AccentColorChoice m_accentColorChoice;
};
