// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "DateFormatter.h"

#include <array>

namespace {

void appendTwoDigits(QString &out, int value)
{
    out += QChar(u'0' + value / 10 % 10);
    out += QChar(u'0' + value % 10);
}

} // namespace

DateFormatter::DateFormatter(QStringView pattern)
{
    struct Known {
        QStringView letters;
        Field field;
        qsizetype width;
    };
    // Longest spellings first, so that "MMM" wins over "MM".
    static const std::array<Known, 9> known{{{u"yyyy", Field::year, 4},
                                             {u"MMM", Field::monthName, 3},
                                             {u"MM", Field::monthNumber, 2},
                                             {u"dd", Field::day, 2},
                                             {u"HH", Field::hour24, 2},
                                             {u"hh", Field::hour12, 2},
                                             {u"mm", Field::minute, 2},
                                             {u"ss", Field::second, 2},
                                             {u"a", Field::amPm, 2}}};
    qsizetype pos = 0;
    while (pos < pattern.size()) {
        const Known *match = nullptr;
        for (const Known &k : known) {
            if (pattern.sliced(pos).startsWith(k.letters)) {
                match = &k;
                break;
            }
        }
        if (match != nullptr) {
            m_tokens.append({match->field, {}});
            m_expectedLength += match->width;
            pos += match->letters.size();
            continue;
        }
        if (m_tokens.isEmpty() || m_tokens.last().field != Field::literal)
            m_tokens.append({Field::literal, {}});
        m_tokens.last().literal += pattern[pos];
        ++m_expectedLength;
        ++pos;
    }
}

QString DateFormatter::format(const QDateTime &instant) const
{
    static constexpr std::array<char16_t[4], 12> monthNames{{u"Jan", u"Feb", u"Mar", u"Apr", u"May",
                                                             u"Jun", u"Jul", u"Aug", u"Sep", u"Oct",
                                                             u"Nov", u"Dec"}};

    if (!instant.isValid())
        return {};
    const QDateTime local = instant.toLocalTime();
    const QDate date = local.date();
    const QTime time = local.time();
    QString out;
    out.reserve(m_expectedLength);
    for (const Token &token : m_tokens) {
        switch (token.field) {
        case Field::literal:
            out += token.literal;
            break;
        case Field::year: {
            const int year = date.year();
            appendTwoDigits(out, year / 100);
            appendTwoDigits(out, year % 100);
            break;
        }
        case Field::monthNumber:
            appendTwoDigits(out, date.month());
            break;
        case Field::monthName:
            out += QStringView(monthNames[static_cast<std::size_t>(date.month() - 1)]);
            break;
        case Field::day:
            appendTwoDigits(out, date.day());
            break;
        case Field::hour24:
            appendTwoDigits(out, time.hour());
            break;
        case Field::hour12:
            appendTwoDigits(out, time.hour() % 12 == 0 ? 12 : time.hour() % 12);
            break;
        case Field::minute:
            appendTwoDigits(out, time.minute());
            break;
        case Field::second:
            appendTwoDigits(out, time.second());
            break;
        case Field::amPm:
            out += time.hour() < 12 ? u"AM" : u"PM";
            break;
        }
    }
    return out;
}

const DateFormatter &timestampFormatter()
{
    static const DateFormatter formatter(u"dd/MMM/yyyy hh:mm:ss a");
    return formatter;
}

const DateFormatter &timeFormatter()
{
    static const DateFormatter formatter(u"hh:mm a");
    return formatter;
}
