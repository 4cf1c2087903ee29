// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QVariant>

#include <optional>

// The per-user store that AppSettings reads at start and rewrites on every
// change. Values keep their kind: a bool, an integer (qlonglong) or a string.
class SettingsBackend {
public:
    virtual ~SettingsBackend() = default;

    // The stored value under `key`, of whatever kind it was stored as, or
    // nothing when the key is absent (or the store could not be read).
    [[nodiscard]] virtual std::optional<QVariant> object(const QString &key) const = 0;

    // True when a store existed but could not be read: what the user chose
    // is unknown, not merely unset.
    [[nodiscard]] virtual bool wasUnreadable() const { return false; }

    virtual void setBool(const QString &key, bool value) = 0;
    virtual void setInteger(const QString &key, qlonglong value) = 0;
    virtual void setString(const QString &key, const QString &value) = 0;

    // Makes the values set so far durable (one atomic write of the store).
    virtual void commit() = 0;
};
