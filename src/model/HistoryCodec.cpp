#include "HistoryCodec.h"

#include <simdjson.h>

#include <array>
#include <cstring>
#include <optional>
#include <string_view>

namespace {

// ---------------------------------------------------------------- calendar

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

// ---------------------------------------------------------------- writing

constexpr char upperHex[] = "0123456789ABCDEF";

// What an ASCII character needs inside a JSON string: 0 = itself,
// a letter = that two-character escape, 'u' = \u00XX.
constexpr std::array<char, 128> asciiEscapes = [] {
    std::array<char, 128> table{};
    for (int c = 0; c < 0x20; ++c)
        table[c] = 'u';
    table['\b'] = 'b';
    table['\f'] = 'f';
    table['\n'] = 'n';
    table['\r'] = 'r';
    table['\t'] = 't';
    table['"'] = '"';
    table['\\'] = '\\';
    table['/'] = '/';
    return table;
}();

// Appends to a byte array through a raw cursor; callers reserve room for
// what they are about to write, so the hot loops do no bounds checks.
class ByteWriter {
public:
    explicit ByteWriter(qsizetype expected) { m_buffer.resize(qMax<qsizetype>(expected, 64)); }

    void reserveMore(qsizetype extra)
    {
        if (m_used + extra > m_buffer.size())
            m_buffer.resize(qMax(m_buffer.size() * 2, m_used + extra));
    }
    [[nodiscard]] char *cursor() { return m_buffer.data() + m_used; }
    void advanceTo(const char *end) { m_used = end - m_buffer.constData(); }

    void append(std::string_view text)
    {
        reserveMore(static_cast<qsizetype>(text.size()));
        std::memcpy(cursor(), text.data(), text.size());
        m_used += static_cast<qsizetype>(text.size());
    }

    [[nodiscard]] QByteArray take()
    {
        m_buffer.resize(m_used);
        return std::move(m_buffer);
    }

private:
    QByteArray m_buffer;
    qsizetype m_used = 0;
};

// The content as a JSON string body: UTF-8, with `"`, `\`, `/` and control
// characters escaped. A lone surrogate (possible in a QString, not in
// UTF-8) becomes U+FFFD so the file always reads back.
void writeStringBody(ByteWriter &out, const QString &text)
{
    const char16_t *src = reinterpret_cast<const char16_t *>(text.constData());
    const char16_t *const end = src + text.size();
    // Room for the worst case (six bytes per code unit, \u001F), chunk by chunk.
    constexpr qsizetype chunk = 4096;
    while (src < end) {
        const char16_t *const chunkEnd = src + qMin<qsizetype>(chunk, end - src);
        out.reserveMore(chunk * 6 + 8);
        char *p = out.cursor();
        while (src < chunkEnd) {
            const char16_t c = *src++;
            if (c < 0x80) {
                const char escape = asciiEscapes[c];
                if (escape == 0) {
                    *p++ = static_cast<char>(c);
                } else if (escape != 'u') {
                    *p++ = '\\';
                    *p++ = escape;
                } else {
                    std::memcpy(p, "\\u00", 4);
                    p[4] = upperHex[c >> 4];
                    p[5] = upperHex[c & 0xF];
                    p += 6;
                }
            } else if (c < 0x800) {
                *p++ = static_cast<char>(0xC0 | (c >> 6));
                *p++ = static_cast<char>(0x80 | (c & 0x3F));
            } else if (c >= 0xD800 && c <= 0xDFFF) {
                // A pair may straddle the chunk boundary; `end` bounds the look-ahead.
                if (c <= 0xDBFF && src < end && *src >= 0xDC00 && *src <= 0xDFFF) {
                    const char32_t u = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (*src++ - 0xDC00);
                    *p++ = static_cast<char>(0xF0 | (u >> 18));
                    *p++ = static_cast<char>(0x80 | ((u >> 12) & 0x3F));
                    *p++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
                    *p++ = static_cast<char>(0x80 | (u & 0x3F));
                } else {
                    std::memcpy(p, "\xEF\xBF\xBD", 3);
                    p += 3;
                }
            } else {
                *p++ = static_cast<char>(0xE0 | (c >> 12));
                *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                *p++ = static_cast<char>(0x80 | (c & 0x3F));
            }
        }
        out.advanceTo(p);
    }
}

char *writeDigits(char *p, unsigned value, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        p[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return p + width;
}

// "2026-12-05T21:04:07Z": UTC, the fraction dropped (toward the past).
// Instants outside the years 0000-9999 are clamped, and an invalid one is
// written as the epoch, so that whatever is written can be read back.
void writeDate(ByteWriter &out, const QDateTime &createdAt)
{
    const qint64 ms = createdAt.isValid() ? createdAt.toMSecsSinceEpoch() : 0;
    qint64 seconds = ms / 1000 - (ms % 1000 < 0 ? 1 : 0);
    seconds = qBound(firstWritableSecond, seconds, lastWritableSecond);
    const qint64 days = seconds / 86400 - (seconds % 86400 < 0 ? 1 : 0);
    const auto secondOfDay = static_cast<unsigned>(seconds - days * 86400);
    const CivilDate date = civilFromDays(days);

    out.reserveMore(20);
    char *p = out.cursor();
    p = writeDigits(p, static_cast<unsigned>(date.year), 4);
    *p++ = '-';
    p = writeDigits(p, date.month, 2);
    *p++ = '-';
    p = writeDigits(p, date.day, 2);
    *p++ = 'T';
    p = writeDigits(p, secondOfDay / 3600, 2);
    *p++ = ':';
    p = writeDigits(p, secondOfDay / 60 % 60, 2);
    *p++ = ':';
    p = writeDigits(p, secondOfDay % 60, 2);
    *p++ = 'Z';
    out.advanceTo(p);
}

// The canonical 8-4-4-4-12 form, upper case.
void writeUuid(ByteWriter &out, const QUuid &id)
{
    std::array<uchar, 16> bytes{};
    bytes[0] = static_cast<uchar>(id.data1 >> 24);
    bytes[1] = static_cast<uchar>(id.data1 >> 16);
    bytes[2] = static_cast<uchar>(id.data1 >> 8);
    bytes[3] = static_cast<uchar>(id.data1);
    bytes[4] = static_cast<uchar>(id.data2 >> 8);
    bytes[5] = static_cast<uchar>(id.data2);
    bytes[6] = static_cast<uchar>(id.data3 >> 8);
    bytes[7] = static_cast<uchar>(id.data3);
    std::memcpy(bytes.data() + 8, id.data4, 8);

    out.reserveMore(36);
    char *p = out.cursor();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            *p++ = '-';
        *p++ = upperHex[bytes[i] >> 4];
        *p++ = upperHex[bytes[i] & 0xF];
    }
    out.advanceTo(p);
}

// ---------------------------------------------------------------- reading

[[nodiscard]] constexpr int digitValue(char c)
{
    return c >= '0' && c <= '9' ? c - '0' : -1;
}

// Reads `count` decimal digits at `text[pos]`; -1 when any is not a digit.
[[nodiscard]] int readNumber(std::string_view text, std::size_t pos, std::size_t count)
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

// An RFC 3339 date-time: "YYYY-MM-DDTHH:MM:SS", an optional fraction of
// any length (kept to the millisecond, truncated), then "Z" or an offset
// "+HH:MM" / "-HH:MM". "T" and "Z" may be lower case. Fields are range
// checked, days against their month; a leap second (":60") is refused
// because the instant type cannot hold it.
[[nodiscard]] std::optional<qint64> parseDateTime(std::string_view text)
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
    if (text[4] != '-' || text[7] != '-' || (text[10] != 'T' && text[10] != 't') ||
        text[13] != ':' || text[16] != ':')
        return std::nullopt;
    if (static_cast<unsigned>(day) > daysInMonth(year, static_cast<unsigned>(month)))
        return std::nullopt;

    std::size_t pos = 19;
    int millisecond = 0;
    if (pos < text.size() && text[pos] == '.') {
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
    if (text[pos] == 'Z' || text[pos] == 'z') {
        ++pos;
    } else if (text[pos] == '+' || text[pos] == '-') {
        const int offsetHour = readNumber(text, pos + 1, 2);
        const int offsetMinute = readNumber(text, pos + 4, 2);
        if (offsetHour < 0 || offsetHour > 23 || offsetMinute < 0 || offsetMinute > 59 ||
            text[pos + 3] != ':')
            return std::nullopt;
        offsetMinutes = (offsetHour * 60 + offsetMinute) * (text[pos] == '-' ? -1 : 1);
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

[[nodiscard]] int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Exactly 8-4-4-4-12 hex digits, either case, no braces.
[[nodiscard]] std::optional<QUuid> parseUuid(std::string_view text)
{
    if (text.size() != 36)
        return std::nullopt;
    std::array<uchar, 16> bytes{};
    std::size_t pos = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            if (text[pos] != '-')
                return std::nullopt;
            ++pos;
        }
        const int high = hexValue(text[pos]);
        const int low = hexValue(text[pos + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes[i] = static_cast<uchar>(high << 4 | low);
        pos += 2;
    }
    return QUuid::fromRfc4122(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

[[nodiscard]] QString describeParseError(simdjson::error_code code)
{
    using namespace simdjson;
    switch (code) {
    case EMPTY:
        return QStringLiteral("the file is empty");
    case UTF8_ERROR:
        return QStringLiteral("not valid UTF-8");
    case DEPTH_ERROR:
        return QStringLiteral("malformed JSON: nested too deeply");
    case CAPACITY:
    case MEMALLOC:
        return QStringLiteral("the file is too large");
    case UNCLOSED_STRING:
        return QStringLiteral("malformed JSON: a string is not closed");
    case STRING_ERROR:
        return QStringLiteral("malformed JSON: a string has a bad escape");
    case NUMBER_ERROR:
    case NUMBER_OUT_OF_RANGE:
        return QStringLiteral("malformed JSON: a bad number");
    case T_ATOM_ERROR:
    case F_ATOM_ERROR:
    case N_ATOM_ERROR:
        return QStringLiteral("malformed JSON: a bad literal");
    default:
        return QStringLiteral("malformed JSON");
    }
}

QString itemError(qsizetype index, const char *what)
{
    return QStringLiteral("item %1: %2").arg(index + 1).arg(QLatin1String(what));
}

} // namespace

QByteArray HistoryCodec::encode(const QList<ClipboardItem> &items)
{
    if (items.isEmpty())
        return QByteArrayLiteral("[]");

    qsizetype expected = 16;
    for (const ClipboardItem &item : items)
        expected += item.content.size() + 140;
    ByteWriter out(expected + expected / 8);

    out.append("[\n");
    bool first = true;
    for (const ClipboardItem &item : items) {
        out.append(first ? "  {\n    \"content\" : \"" : ",\n  {\n    \"content\" : \"");
        first = false;
        writeStringBody(out, item.content);
        out.append("\",\n    \"createdAt\" : \"");
        writeDate(out, item.createdAt);
        out.append("\",\n    \"id\" : \"");
        writeUuid(out, item.id);
        out.append("\"\n  }");
    }
    out.append("\n]");
    return out.take();
}

bool HistoryCodec::decode(QByteArrayView json, QList<ClipboardItem> &items, QString &error)
{
    // A byte-order mark is not JSON, but harmless: skip it.
    if (json.startsWith("\xEF\xBB\xBF"))
        json = json.sliced(3);

    simdjson::dom::parser parser;
    simdjson::dom::element root;
    if (const auto code =
            parser.parse(json.data(), static_cast<std::size_t>(json.size())).get(root)) {
        error = describeParseError(code);
        return false;
    }
    simdjson::dom::array array;
    if (root.get_array().get(array)) {
        error = QStringLiteral("not a JSON array");
        return false;
    }

    QList<ClipboardItem> decoded;
    decoded.reserve(static_cast<qsizetype>(array.size()));
    qsizetype index = 0;
    for (simdjson::dom::element element : array) {
        simdjson::dom::object object;
        if (element.get_object().get(object)) {
            error = itemError(index, "not a JSON object");
            return false;
        }
        // The first occurrence of each key counts; other keys are ignored.
        std::optional<std::string_view> content, createdAt, id;
        for (const simdjson::dom::key_value_pair member : object) {
            std::optional<std::string_view> *slot = nullptr;
            if (member.key == "content")
                slot = &content;
            else if (member.key == "createdAt")
                slot = &createdAt;
            else if (member.key == "id")
                slot = &id;
            if (slot == nullptr || slot->has_value())
                continue;
            std::string_view value;
            if (member.value.get_string().get(value)) {
                error =
                    itemError(index, member.key == "content"     ? "\"content\" is not a string"
                                     : member.key == "createdAt" ? "\"createdAt\" is not a string"
                                                                 : "\"id\" is not a string");
                return false;
            }
            *slot = value;
        }
        if (!content) {
            error = itemError(index, "\"content\" is missing");
            return false;
        }
        if (!createdAt) {
            error = itemError(index, "\"createdAt\" is missing");
            return false;
        }
        if (!id) {
            error = itemError(index, "\"id\" is missing");
            return false;
        }
        const std::optional<qint64> ms = parseDateTime(*createdAt);
        if (!ms) {
            error = itemError(index, "\"createdAt\" is not a date-time with a time zone");
            return false;
        }
        const std::optional<QUuid> uuid = parseUuid(*id);
        if (!uuid) {
            error = itemError(index, "\"id\" is not a UUID");
            return false;
        }
        decoded.append({*uuid,
                        QString::fromUtf8(content->data(), static_cast<qsizetype>(content->size())),
                        QDateTime::fromMSecsSinceEpoch(*ms, Qt::UTC)});
        ++index;
    }
    items = std::move(decoded);
    return true;
}
