#include "JsonSettingsBackend.h"

#include "AtomicFile.h"
#include "StoreLogging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QStandardPaths>

JsonSettingsBackend::JsonSettingsBackend(QString path) : m_path(std::move(path))
{
    QFile file(m_path);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcStore) << "Cannot read settings" << m_path << file.errorString();
        return;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        qCWarning(lcStore) << "Ignoring unreadable settings file" << m_path
                           << (error.error != QJsonParseError::NoError
                                   ? error.errorString()
                                   : QStringLiteral("not a JSON object"));
        return;
    }
    m_values = document.object();
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
