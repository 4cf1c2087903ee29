// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "SettingsBackend.h"

#include <QJsonObject>
#include <QString>

// The settings file, $XDG_CONFIG_HOME/quillmark/settings.json: one JSON
// object whose members keep the kind of each value (true/false, a whole
// number, a string). A file that cannot be read or is not a JSON object
// reads as empty, so every setting takes its default; it is left as it is
// until the first assignment writes a fresh one. Keys Quillmark does not
// know are kept.
class JsonSettingsBackend final : public SettingsBackend {
public:
    explicit JsonSettingsBackend(QString path = defaultPath());

    [[nodiscard]] static QString defaultPath();
    [[nodiscard]] QString path() const { return m_path; }

    [[nodiscard]] std::optional<QVariant> object(const QString &key) const override;
    [[nodiscard]] bool wasUnreadable() const override { return m_unreadable; }
    void setBool(const QString &key, bool value) override;
    void setInteger(const QString &key, qlonglong value) override;
    void setString(const QString &key, const QString &value) override;
    // Writes the file atomically (mode 0600); a failure is logged, not
    // reported, as the settings window has nobody to tell.
    void commit() override;

private:
    QString m_path;
    QJsonObject m_values;
    bool m_unreadable = false;
};
