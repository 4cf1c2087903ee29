// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Rfc3339.h"

#include <array>

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date, and back
// (H. Hinnant's civil-day algorithms; exact for every year we accept).
constexpr qint64 daysFromCivil(qint64 y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<qint64>(doe) - 719468;
}

struct CivilDate {
    qint64 year;
    unsigned month;
    unsigned day;
};

constexpr CivilDate civilFromDays(qint64 z)
{
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<qint64>(yoe) + era * 400 + (m <= 2), m, d};
}

constexpr bool isLeapYear(qint64 y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

constexpr unsigned daysInMonth(qint64 y, unsigned m)
{
    constexpr std::array<unsigned, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeapYear(y) ? 29 : days[m - 1];
}

constexpr qint64 msPerDay = 86'400'000;
// The range RFC 3339 can spell: years 0000 to 9999.
constexpr qint64 firstWritableSecond = daysFromCivil(0, 1, 1) * 86400;
constexpr qint64 lastWritableSecond = daysFromCivil(9999, 12, 31) * 86400 + 86399;

template <int width> char *writeDigits(char *p, unsigned value)
{
    for (int i = width - 1; i >= 0; --i) {
        p[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return p + width;
}

[[nodiscard]] constexpr int digitValue(char16_t c)
{
    return c >= u'0' && c <= u'9' ? c - u'0' : -1;
}

// Reads `count` decimal digits at `text[pos]`; -1 when any is not a digit.
[[nodiscard]] int readNumber(std::u16string_view text, std::size_t pos, std::size_t count)
{
    if (pos + count > text.size())
        return -1;
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        const int digit = digitValue(text[i]);
        if (digit < 0)
            return -1;
        value = value * 10 + digit;
    }
    return value;
}

} // namespace

char *Rfc3339::write(char *p, const QDateTime &createdAt)
{
    const qint64 ms = createdAt.isValid() ? createdAt.toMSecsSinceEpoch() : 0;
    qint64 seconds = ms / 1000 - (ms % 1000 < 0 ? 1 : 0);
    seconds = qBound(firstWritableSecond, seconds, lastWritableSecond);
    const qint64 days = seconds / 86400 - (seconds % 86400 < 0 ? 1 : 0);
    const auto secondOfDay = static_cast<unsigned>(seconds - days * 86400);
    const CivilDate date = civilFromDays(days);

    p = writeDigits<4>(p, static_cast<unsigned>(date.year));
    *p++ = '-';
    p = writeDigits<2>(p, date.month);
    *p++ = '-';
    p = writeDigits<2>(p, date.day);
    *p++ = 'T';
    p = writeDigits<2>(p, secondOfDay / 3600);
    *p++ = ':';
    p = writeDigits<2>(p, secondOfDay / 60 % 60);
    *p++ = ':';
    p = writeDigits<2>(p, secondOfDay % 60);
    *p++ = 'Z';
    return p;
}

std::optional<qint64> Rfc3339::parse(std::u16string_view text)
{
    const int year = readNumber(text, 0, 4);
    const int month = readNumber(text, 5, 2);
    const int day = readNumber(text, 8, 2);
    const int hour = readNumber(text, 11, 2);
    const int minute = readNumber(text, 14, 2);
    const int second = readNumber(text, 17, 2);
    if (year < 0 || month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    if (text[4] != u'-' || text[7] != u'-' || (text[10] != u'T' && text[10] != u't') ||
        text[13] != u':' || text[16] != u':')
        return std::nullopt;
    if (static_cast<unsigned>(day) > daysInMonth(year, static_cast<unsigned>(month)))
        return std::nullopt;

    std::size_t pos = 19;
    int millisecond = 0;
    if (pos < text.size() && text[pos] == u'.') {
        ++pos;
        const std::size_t fractionStart = pos;
        int scale = 100;
        while (pos < text.size() && digitValue(text[pos]) >= 0) {
            millisecond += digitValue(text[pos]) * scale;
            scale /= 10;
            ++pos;
        }
        if (pos == fractionStart)
            return std::nullopt;
    }

    if (pos >= text.size())
        return std::nullopt;
    int offsetMinutes = 0;
    if (text[pos] == u'Z' || text[pos] == u'z') {
        ++pos;
    } else if (text[pos] == u'+' || text[pos] == u'-') {
        const int offsetHour = readNumber(text, pos + 1, 2);
        const int offsetMinute = readNumber(text, pos + 4, 2);
        if (offsetHour < 0 || offsetHour > 23 || offsetMinute < 0 || offsetMinute > 59 ||
            text[pos + 3] != u':')
            return std::nullopt;
        offsetMinutes = (offsetHour * 60 + offsetMinute) * (text[pos] == u'-' ? -1 : 1);
        pos += 6;
    } else {
        return std::nullopt;
    }
    if (pos != text.size())
        return std::nullopt;

    const qint64 days =
        daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    const qint64 secondOfDay = hour * 3600 + minute * 60 + second;
    return days * msPerDay + (secondOfDay - offsetMinutes * 60) * 1000 + millisecond;
}

std::optional<qint64> Rfc3339::readWritten(const char *p)
{
    bool bad = false;
    auto twoDigits = [&](int at) {
        const unsigned tens = uchar(p[at]) - unsigned('0');
        const unsigned ones = uchar(p[at + 1]) - unsigned('0');
        bad = bad || tens > 9 || ones > 9;
        return tens * 10 + ones;
    };
    const unsigned year = twoDigits(0) * 100 + twoDigits(2);
    const unsigned month = twoDigits(5);
    const unsigned day = twoDigits(8);
    const unsigned hour = twoDigits(11);
    const unsigned minute = twoDigits(14);
    const unsigned second = twoDigits(17);
    if (bad || p[4] != '-' || p[7] != '-' || p[13] != ':' || p[16] != ':' || month < 1 ||
        month > 12 || day < 1 || day > daysInMonth(year, month) || hour > 23 || minute > 59 ||
        second > 59)
        return std::nullopt;
    return (daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second) * 1000;
}
