// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringView>

// A date pattern in the usual Unicode field letters, compiled once and then
// applied cheaply: English names, the Gregorian calendar, the system's local
// time zone, whatever the user's locale. Understood fields: yyyy, MM, MMM,
// dd, HH, hh (12-hour, midnight and noon are 12), mm, ss, a (AM/PM); any
// other character is copied as is.
class DateFormatter {
public:
    explicit DateFormatter(QStringView pattern);

    [[nodiscard]] QString format(const QDateTime &instant) const;

private:
    enum class Field {
        literal,
        year,
        monthNumber,
        monthName,
        day,
        hour24,
        hour12,
        minute,
        second,
        amPm
    };
    struct Token {
        Field field;
        QString literal;
    };
    QList<Token> m_tokens;
    qsizetype m_expectedLength = 0;
};

// "dd/MMM/yyyy hh:mm:ss a", e.g. 05/Dec/2026 09:04:07 PM.
[[nodiscard]] const DateFormatter &timestampFormatter();
// "hh:mm a", e.g. 09:04 PM.
[[nodiscard]] const DateFormatter &timeFormatter();
