// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AppSettings.h"

#include "BuildInfo.h"
#include "ConsoleOutput.h"
#include "LoginItem.h"
#include "SettingsBackend.h"

#include <QMetaType>

namespace {

const QString kLaunchAtLogin = QStringLiteral("launchAtLogin");
const QString kStartMonitoringImmediately = QStringLiteral("startMonitoringImmediately");
const QString kShowDockIcon = QStringLiteral("showDockIcon");
const QString kRetentionPeriod = QStringLiteral("retentionPeriod");
const QString kCaptureMode = QStringLiteral("captureMode");
const QString kDuplicateSuppressionWindow = QStringLiteral("duplicateSuppressionWindow");
const QString kPreviewLineCount = QStringLiteral("previewLineCount");
const QString kThemeMode = QStringLiteral("themeMode");
const QString kFontSizeChoice = QStringLiteral("fontSizeChoice");
const QString kAccentColorChoice = QStringLiteral("accentColorChoice");

bool isIntegerKind(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

// A stored value of another kind than asked for counts as absent.
bool readBool(const SettingsBackend &backend, const QString &key, bool fallback)
{
    const std::optional<QVariant> stored = backend.object(key);
    if (!stored || stored->typeId() != QMetaType::Bool)
        return fallback;
    return stored->toBool();
}

qlonglong readInteger(const SettingsBackend &backend, const QString &key, qlonglong fallback)
{
    const std::optional<QVariant> stored = backend.object(key);
    if (!stored || !isIntegerKind(*stored))
        return fallback;
    return stored->toLongLong();
}

QString readString(const SettingsBackend &backend, const QString &key, const QString &fallback)
{
    const std::optional<QVariant> stored = backend.object(key);
    if (!stored || stored->typeId() != QMetaType::QString)
        return fallback;
    return stored->toString();
}

template <typename E> E integerCaseOr(qlonglong raw, E fallback)
{
    return fromRawValue<E>(raw).value_or(fallback);
}

template <typename E> E stringCaseOr(const QString &raw, E fallback)
{
    return fromRawValue<E>(raw).value_or(fallback);
}

QString orUnknown(const char *value)
{
    const QString text = QString::fromUtf8(value);
    return text.isEmpty() ? QStringLiteral("Unknown") : text;
}

} // namespace

AppSettings::AppSettings(SettingsBackend &backend, LoginItem &loginItem, QObject *parent)
    : QObject(parent), m_backend(backend), m_loginItem(loginItem)
{
    m_isLoading = true;
    m_launchAtLogin = readBool(m_backend, kLaunchAtLogin, false);
    m_startMonitoringImmediately = readBool(m_backend, kStartMonitoringImmediately, true);
    m_showDockIcon = readBool(m_backend, kShowDockIcon, true);
    m_retentionPeriod =
        integerCaseOr(readInteger(m_backend, kRetentionPeriod, 31), RetentionPeriod::oneMonth);
    // Only the exact raw value selects recording every copy.
    m_captureMode =
        readString(m_backend, kCaptureMode, QStringLiteral("suppressConsecutiveDuplicates")) ==
                QLatin1String("recordEveryCopy")
            ? CaptureMode::recordEveryCopy
            : CaptureMode::suppressConsecutiveDuplicates;
    m_duplicateSuppressionWindow = integerCaseOr(
        readInteger(m_backend, kDuplicateSuppressionWindow, 5), DuplicateSuppressionWindow::five);
    m_previewLineCount =
        integerCaseOr(readInteger(m_backend, kPreviewLineCount, 3), PreviewLineCount::three);
    m_themeMode = stringCaseOr(readString(m_backend, kThemeMode, QStringLiteral("system")),
                               ThemeMode::system);
    m_fontSizeChoice = stringCaseOr(
        readString(m_backend, kFontSizeChoice, QStringLiteral("medium")), FontSizeChoice::medium);
    m_accentColorChoice =
        stringCaseOr(readString(m_backend, kAccentColorChoice, QStringLiteral("yellow")),
                     AccentColorChoice::yellow);
    // A settings file that could not be read says nothing about launching at
    // login: the registration as it stands is the user's last known choice,
    // and this start leaves it alone rather than removing it.
    const bool choicesUnknown = m_backend.wasUnreadable();
    if (choicesUnknown)
        m_launchAtLogin = m_loginItem.isRegistered();
    m_isLoading = false;

    // The registration is re-applied at every start, so a failed attempt is
    // retried on the next launch. After an unreadable file, the settings now
    // in effect are written at once, so the next start does not fall back to
    // "off" and remove the entry then.
    if (choicesUnknown)
        save();
    else
        applyLaunchAtLogin();
}

AppSettings::~AppSettings() = default;

// Every assignment announces the change, stores, and writes all ten keys,
// even when the value is unchanged; the per-property signal fires only for a
// different value.
template <typename T, typename Signal>
static void assign(AppSettings *self, T &field, T value, Signal changed)
{
    Q_EMIT self->aboutToChange();
    const bool differs = field != value;
    field = value;
    self->save();
    if (differs)
        Q_EMIT(self->*changed)(value);
}

void AppSettings::setLaunchAtLogin(bool value)
{
    Q_EMIT aboutToChange();
    const bool differs = m_launchAtLogin != value;
    m_launchAtLogin = value;
    save();
    applyLaunchAtLogin();
    if (differs)
        Q_EMIT launchAtLoginChanged(value);
}

void AppSettings::setStartMonitoringImmediately(bool value)
{
    assign(this, m_startMonitoringImmediately, value,
           &AppSettings::startMonitoringImmediatelyChanged);
}

void AppSettings::setShowDockIcon(bool value)
{
    assign(this, m_showDockIcon, value, &AppSettings::showDockIconChanged);
}

void AppSettings::setRetentionPeriod(RetentionPeriod value)
{
    assign(this, m_retentionPeriod, value, &AppSettings::retentionPeriodChanged);
}

void AppSettings::setCaptureMode(CaptureMode value)
{
    assign(this, m_captureMode, value, &AppSettings::captureModeChanged);
}

void AppSettings::setDuplicateSuppressionWindow(DuplicateSuppressionWindow value)
{
    assign(this, m_duplicateSuppressionWindow, value,
           &AppSettings::duplicateSuppressionWindowChanged);
}

void AppSettings::setPreviewLineCount(PreviewLineCount value)
{
    assign(this, m_previewLineCount, value, &AppSettings::previewLineCountChanged);
}

void AppSettings::setThemeMode(ThemeMode value)
{
    assign(this, m_themeMode, value, &AppSettings::themeModeChanged);
}

void AppSettings::setFontSizeChoice(FontSizeChoice value)
{
    assign(this, m_fontSizeChoice, value, &AppSettings::fontSizeChoiceChanged);
}

void AppSettings::setAccentColorChoice(AccentColorChoice value)
{
    assign(this, m_accentColorChoice, value, &AppSettings::accentColorChoiceChanged);
}

void AppSettings::save()
{
    if (m_isLoading)
        return;
    m_backend.setBool(kLaunchAtLogin, m_launchAtLogin);
    m_backend.setBool(kStartMonitoringImmediately, m_startMonitoringImmediately);
    m_backend.setBool(kShowDockIcon, m_showDockIcon);
    m_backend.setInteger(kRetentionPeriod, rawValue(m_retentionPeriod));
    m_backend.setString(kCaptureMode, rawValue(m_captureMode));
    m_backend.setInteger(kDuplicateSuppressionWindow, rawValue(m_duplicateSuppressionWindow));
    m_backend.setInteger(kPreviewLineCount, rawValue(m_previewLineCount));
    m_backend.setString(kThemeMode, rawValue(m_themeMode));
    m_backend.setString(kFontSizeChoice, rawValue(m_fontSizeChoice));
    m_backend.setString(kAccentColorChoice, rawValue(m_accentColorChoice));
    m_backend.commit();
}

void AppSettings::applyLaunchAtLogin()
{
    if (m_isLoading)
        return;
    const QString error =
        m_launchAtLogin ? m_loginItem.registerItem() : m_loginItem.unregisterItem();
    if (!error.isEmpty())
        printLine(QStringLiteral("Launch at login update failed: ") + error);
}

QString AppSettings::appVersion()
{
    return orUnknown(QUILLMARK_VERSION_STRING);
}

QString AppSettings::buildNumber()
{
    return orUnknown(QUILLMARK_BUILD_NUMBER_STRING);
}
