// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "SettingsEnums.h"

#include <QList>
#include <QWidget>

#include <optional>

class AppSettings;
class ClipboardStore;
class Clock;
class Dialogs;
class QComboBox;
class QLabel;
class QPushButton;
class QTimer;
class StatusBanner;
class Theme;
class ToggleSwitch;

// The settings window's content: every preference, the backup and clear
// tools, and a few facts about the running copy. Controls write straight
// into AppSettings and follow its changes; the retention picker only
// proposes a period, which takes effect once the user confirms it.
class SettingsView : public QWidget {
    Q_OBJECT
public:
    enum class PendingAction { clearToday, clearAll };

    SettingsView(AppSettings &settings, ClipboardStore &store, Dialogs &dialogs, const Clock &clock,
                 const Theme &theme, QWidget *parent = nullptr);
    ~SettingsView() override;

    // Shows `message` under the header for a few seconds (the interval of
    // the child timer "bannerTimer"); a newer message replaces an older one
    // and gets its own full time.
    void showBanner(const QString &message, bool isError);

    // "quillmark-backup-HH-mm-ss_dd.MM.yy.json" for the given local time.
    [[nodiscard]] static QString backupFileName(const QDateTime &localTime);
    // Documents when the desktop has it, otherwise home.
    [[nodiscard]] static QString backupDirectory();
    // Decimal units as file managers show them: "0 bytes", "12 KB", "1.2 MB".
    [[nodiscard]] static QString formattedFileSize(qint64 bytes);

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // The data tools, as their buttons run them.
    void requestConfirmation(PendingAction action);
    void exportHistory();
    void confirmImport();
    void importHistory();

    // The retention picker's proposal and its confirmation.
    void retentionSelectionChanged(RetentionPeriod period);
    void applyRetentionChange(RetentionPeriod period);
    void revertRetentionSelection();

    QWidget *buildHeader();
    QWidget *buildForm();
    QWidget *buildGeneralSection();
    QWidget *buildDataBoardSection();
    QWidget *buildAppearanceSection();
    QWidget *buildBackupSection();
    QWidget *buildAboutSection();
    QWidget *sectionHeader(const QString &title, const QString &subtitle);
    QLabel *caption(const QString &text);
    QPushButton *accentButton(const QString &title, std::optional<QColor> tint);

    void syncControls();
    void updateCaptureRows();
    void applyTheme();
    void refreshStatistics();
    void scheduleStatisticsRefresh();

    AppSettings &m_settings;
    ClipboardStore &m_store;
    Dialogs &m_dialogs;
    const Clock &m_clock;
    const Theme &m_theme;

    RetentionPeriod m_retentionSelection;
    std::optional<PendingAction> m_pendingAction;

    StatusBanner *m_banner = nullptr;
    QTimer *m_bannerTimer = nullptr;
    QTimer *m_statisticsTimer = nullptr;

    ToggleSwitch *m_launchAtLogin = nullptr;
    ToggleSwitch *m_startMonitoring = nullptr;
    ToggleSwitch *m_showDockIcon = nullptr;
    QComboBox *m_retentionPicker = nullptr;
    QComboBox *m_captureModePicker = nullptr;
    QWidget *m_suppressionRow = nullptr;
    QComboBox *m_suppressionPicker = nullptr;
    QLabel *m_suppressionCaption = nullptr;
    QLabel *m_everyCopyCaption = nullptr;
    QComboBox *m_previewLinesPicker = nullptr;
    QComboBox *m_themePicker = nullptr;
    QComboBox *m_fontSizePicker = nullptr;
    QComboBox *m_accentPicker = nullptr;
    QLabel *m_entriesValue = nullptr;
    QLabel *m_storageValue = nullptr;

    struct TintedButton {
        QPushButton *button;
        std::optional<QColor> tint;
    };
    QList<TintedButton> m_accentButtons;
    QList<QLabel *> m_secondaryLabels;
    QList<QLabel *> m_primaryLabels;
    QList<QWidget *> m_cards;
};
