// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "SettingsBackend.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

// Settings held in memory. `writes` logs every set call as "key=value" in
// call order, `commits` counts the commits.
class MemorySettingsBackend final : public SettingsBackend {
public:
    explicit MemorySettingsBackend(QHash<QString, QVariant> stored = {}) : values(std::move(stored))
    {
    }
    [[nodiscard]] std::optional<QVariant> object(const QString &key) const override
    {
        const auto it = values.constFind(key);
        if (it == values.constEnd())
            return std::nullopt;
        return *it;
    }
    void setBool(const QString &key, bool value) override { set(key, value); }
    void setInteger(const QString &key, qlonglong value) override { set(key, value); }
    void setString(const QString &key, const QString &value) override { set(key, value); }
    void commit() override { ++commits; }

    QHash<QString, QVariant> values;
    QStringList writes;
    int commits = 0;

private:
    void set(const QString &key, const QVariant &value)
    {
        values.insert(key, value);
        writes.append(key + QLatin1Char('=') + value.toString());
    }
};
