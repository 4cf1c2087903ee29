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

    [[nodiscard]] bool launchAtLogin() const { return m_launchAtLogin; }
    [[nodiscard]] bool startMonitoringImmediately() const { return m_startMonitoringImmediately; }
    [[nodiscard]] bool showDockIcon() const { return m_showDockIcon; }
    [[nodiscard]] RetentionPeriod retentionPeriod() const { return m_retentionPeriod; }
    [[nodiscard]] CaptureMode captureMode() const { return m_captureMode; }
    [[nodiscard]] DuplicateSuppressionWindow duplicateSuppressionWindow() const
    {
        return m_duplicateSuppressionWindow;
    }
    [[nodiscard]] PreviewLineCount previewLineCount() const { return m_previewLineCount; }
    [[nodiscard]] ThemeMode themeMode() const { return m_themeMode; }
    [[nodiscard]] FontSizeChoice fontSizeChoice() const { return m_fontSizeChoice; }
    [[nodiscard]] AccentColorChoice accentColorChoice() const { return m_accentColorChoice; }

    void setLaunchAtLogin(bool value);
    void setStartMonitoringImmediately(bool value);
    void setShowDockIcon(bool value);
    void setRetentionPeriod(RetentionPeriod value);
    void setCaptureMode(CaptureMode value);
    void setDuplicateSuppressionWindow(DuplicateSuppressionWindow value);
    void setPreviewLineCount(PreviewLineCount value);
    void setThemeMode(ThemeMode value);
    void setFontSizeChoice(FontSizeChoice value);
    void setAccentColorChoice(AccentColorChoice value);

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
    SettingsBackend &m_backend;
    LoginItem &m_loginItem;
    bool m_isLoading = true;

    bool m_launchAtLogin = false;
    bool m_startMonitoringImmediately = true;
    bool m_showDockIcon = true;
    RetentionPeriod m_retentionPeriod = RetentionPeriod::oneMonth;
    CaptureMode m_captureMode = CaptureMode::suppressConsecutiveDuplicates;
    DuplicateSuppressionWindow m_duplicateSuppressionWindow = DuplicateSuppressionWindow::five;
    PreviewLineCount m_previewLineCount = PreviewLineCount::three;
    ThemeMode m_themeMode = ThemeMode::system;
    FontSizeChoice m_fontSizeChoice = FontSizeChoice::medium;
    AccentColorChoice m_accentColorChoice = AccentColorChoice::yellow;
};
