// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "JsonSettingsBackend.h"

#include "AtomicFile.h"
#include "ConsoleOutput.h"
#include "RegularFile.h"
#include "StoreLogging.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QStandardPaths>

JsonSettingsBackend::JsonSettingsBackend(QString path) : m_path(std::move(path))
{
    // A dangling link counts as no file yet: the first save creates its target.
    if (!QFileInfo::exists(m_path))
        return;
    QByteArray bytes;
    QString problem = RegularFile::read(m_path, bytes);
    if (problem.isEmpty()) {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
        if (error.error != QJsonParseError::NoError)
            problem = error.errorString();
        else if (!document.isObject())
            problem = QStringLiteral("not a JSON object");
        else
            m_values = document.object();
    }
    if (problem.isEmpty())
        return;

    // Every setting falls back to its default, but the user's file is kept
    // aside rather than overwritten by the first change.
    qCWarning(lcStore) << "Cannot read settings" << m_path << problem;
    m_unreadable = true;
    const QString aside = RegularFile::moveAside(m_path, QDateTime::currentDateTime());
    if (aside.isEmpty())
        printLine(QStringLiteral("Settings could not be read; using the defaults: ") +
                  QDir::toNativeSeparators(m_path));
    else
        printLine(QStringLiteral("Settings could not be read; moved them aside to: ") +
                  QDir::toNativeSeparators(aside));
}

QString JsonSettingsBackend::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1String("/quillmark/settings.json");
}

std::optional<QVariant> JsonSettingsBackend::object(const QString &key) const
{
    const auto it = m_values.constFind(key);
    if (it == m_values.constEnd())
        return std::nullopt;
    // A whole number comes back as qlonglong, any other number as double.
    return it->toVariant();
}

void JsonSettingsBackend::setBool(const QString &key, bool value)
{
    m_values.insert(key, value);
}

void JsonSettingsBackend::setInteger(const QString &key, qlonglong value)
{
    m_values.insert(key, qint64(value));
}

void JsonSettingsBackend::setString(const QString &key, const QString &value)
{
    m_values.insert(key, value);
}

void JsonSettingsBackend::commit()
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    const QString error =
        AtomicFile::write(m_path, QJsonDocument(m_values).toJson(QJsonDocument::Indented));
    if (!error.isEmpty())
        qCWarning(lcStore) << "Cannot save settings:" << error;
}
