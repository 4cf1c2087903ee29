// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AppSettings.h"

#include "BuildInfo.h"
#include "ConsoleOutput.h"
#include "LoginItem.h"
#include "SettingsBackend.h"

#include <QMetaType>

namespace {

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

// Reading: a stored value of another kind than the setting's, or naming no
// case, counts as absent and gives the fallback.
bool readSetting(const SettingsBackend &backend, const QString &key, bool fallback)
{
    const std::optional<QVariant> stored = backend.object(key);
    return stored && stored->typeId() == QMetaType::Bool ? stored->toBool() : fallback;
}

template <typename E> E readSetting(const SettingsBackend &backend, const QString &key, E fallback)
{
    const std::optional<QVariant> stored = backend.object(key);
    if constexpr (StringRawEnum<E>) {
        if (stored && stored->typeId() == QMetaType::QString)
            return fromRawValue<E>(stored->toString()).value_or(fallback);
    } else {
        if (stored && isIntegerKind(*stored))
            return fromRawValue<E>(stored->toLongLong()).value_or(fallback);
    }
    return fallback;
}

void writeSetting(SettingsBackend &backend, const QString &key, bool value)
{
    backend.setBool(key, value);
}

template <typename E> void writeSetting(SettingsBackend &backend, const QString &key, E value)
{
    if constexpr (StringRawEnum<E>)
        backend.setString(key, rawValue(value));
    else
        backend.setInteger(key, rawValue(value));
}

QString orUnknown(const char *value)
{
    const QString text = QString::fromUtf8(value);
    return text.isEmpty() ? QStringLiteral("Unknown") : text;
}

} // namespace

// The settings table: key (spelled like the property), field and fallback,
// in the order save() writes them. Readers and writers follow from the type.
template <typename T> struct AppSettings::Setting {
    QString key;
    T AppSettings::*field;
    T fallback;
};

template <typename Visit> void AppSettings::forEachSetting(Visit visit)
{
    using S = AppSettings;
    visit(Setting<bool>{u"launchAtLogin"_qs, &S::m_launchAtLogin, false});
    visit(Setting<bool>{u"startMonitoringImmediately"_qs, &S::m_startMonitoringImmediately, true});
    visit(Setting<bool>{u"showDockIcon"_qs, &S::m_showDockIcon, true});
    visit(Setting<RetentionPeriod>{u"retentionPeriod"_qs, &S::m_retentionPeriod,
                                   RetentionPeriod::oneMonth});
    visit(Setting<CaptureMode>{u"captureMode"_qs, &S::m_captureMode,
                               CaptureMode::suppressConsecutiveDuplicates});
    visit(Setting<DuplicateSuppressionWindow>{u"duplicateSuppressionWindow"_qs,
                                              &S::m_duplicateSuppressionWindow,
                                              DuplicateSuppressionWindow::five});
    visit(Setting<PreviewLineCount>{u"previewLineCount"_qs, &S::m_previewLineCount,
                                    PreviewLineCount::three});
    visit(Setting<ThemeMode>{u"themeMode"_qs, &S::m_themeMode, ThemeMode::system});
    visit(Setting<FontSizeChoice>{u"fontSizeChoice"_qs, &S::m_fontSizeChoice,
                                  FontSizeChoice::medium});
    visit(Setting<AccentColorChoice>{u"accentColorChoice"_qs, &S::m_accentColorChoice,
                                     AccentColorChoice::yellow});
}

AppSettings::AppSettings(SettingsBackend &backend, LoginItem &loginItem, QObject *parent)
    : QObject(parent), m_backend(backend), m_loginItem(loginItem)
{
    m_isLoading = true;
    forEachSetting([this](const auto &setting) {
        this->*setting.field = readSetting(m_backend, setting.key, setting.fallback);
    });
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

void AppSettings::save()
{
    if (m_isLoading)
        return;
    forEachSetting([this](const auto &setting) {
        writeSetting(m_backend, setting.key, this->*setting.field);
    });
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
