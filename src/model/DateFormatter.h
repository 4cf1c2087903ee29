// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDateTime>
#include <QString>

// A date format in QLocale's field letters, applied in the C locale: English
// names, the Gregorian calendar and the system's local time zone, whatever
// the user's locale.
class DateFormatter {
public:
    explicit DateFormatter(QString format) : m_format(std::move(format)) {}

    // Empty for an invalid instant.
    [[nodiscard]] QString format(const QDateTime &instant) const;

private:
    QString m_format;
};

// "dd/MMM/yyyy hh:mm:ss AP", e.g. 05/Dec/2026 09:04:07 PM.
[[nodiscard]] const DateFormatter &timestampFormatter();
// "hh:mm AP", e.g. 09:04 PM.
[[nodiscard]] const DateFormatter &timeFormatter();
