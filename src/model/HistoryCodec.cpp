// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "HistoryCodec.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// What each ASCII character becomes inside a JSON string: itself, a
// two-character escape, or \u00XX; eight bytes so it is copied in one go.
struct AsciiOutput {
    std::array<char, 7> bytes;
    std::uint8_t length;
};
constexpr std::array<AsciiOutput, 128> asciiOutputs = [] {
    std::array<AsciiOutput, 128> table{};
    for (int c = 0; c < 128; ++c) {
        AsciiOutput &out = table[static_cast<std::size_t>(c)];
        char shortEscape = 0;
        switch (c) {
        case '\b':
            shortEscape = 'b';
            break;
        case '\f':
            shortEscape = 'f';
            break;
        case '\n':
            shortEscape = 'n';
            break;
        case '\r':
            shortEscape = 'r';
            break;
        case '\t':
            shortEscape = 't';
            break;
        case '"':
        case '\\':
        case '/':
            shortEscape = static_cast<char>(c);
            break;
        default:
            break;
        }
        if (shortEscape != 0) {
            out = {{'\\', shortEscape}, 2};
        } else if (c < 0x20) {
            out = {{'\\', 'u', '0', '0', upperHex[c >> 4], upperHex[c & 0xF]}, 6};
        } else {
            out = {{static_cast<char>(c)}, 1};
        }
    }
    return table;
}();
static_assert(sizeof(AsciiOutput) == 8);

// Appends to a byte array through a raw cursor; callers reserve room for
// what they are about to write, so the hot loops do no bounds checks. With
// a sink, the bytes go out whenever the buffer fills, and the buffer stays
// at about a megabyte.
class ByteWriter {
public:
    static constexpr qsizetype flushSize = 1 << 20;

    explicit ByteWriter(qsizetype expected) { m_buffer.resize(qMax<qsizetype>(expected, 64)); }
    // Bytes written so far, handed on or not.
    [[nodiscard]] qint64 position() const { return m_flushed + m_used; }

    // `expected` bytes or fewer need no more than that much buffer.
    explicit ByteWriter(const HistoryCodec::Sink &sink, qsizetype expected = flushSize)
        : m_sink(&sink)
    {
        m_buffer.resize(qBound<qsizetype>(64, expected, flushSize));
    }

    void reserveMore(qsizetype extra)
    {
        if (m_used + extra <= m_buffer.size())
            return;
        if (m_sink)
            flush();
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

    // Whether the sink has refused a piece; what follows is dropped.
    [[nodiscard]] bool failed() const { return m_failed; }
    // Hands what is buffered to the sink.
    void flush()
    {
        if (!m_failed && m_used > 0)
            m_failed = !(*m_sink)(QByteArrayView(m_buffer.constData(), m_used));
        m_flushed += m_used;
        m_used = 0;
    }

    [[nodiscard]] QByteArray take()
    {
        m_buffer.resize(m_used);
        return std::move(m_buffer);
    }

private:
    const HistoryCodec::Sink *m_sink = nullptr;
    QByteArray m_buffer;
    qsizetype m_used = 0;
    qint64 m_flushed = 0;
    bool m_failed = false;
};

// The content as a JSON string body: its UTF-8 bytes as they are, with
// `"`, `\`, `/` and control characters escaped.
void writeStringBody(ByteWriter &out, QByteArrayView text)
{
    const char *src = text.data();
    const char *const end = src + text.size();
    // Room for the worst case (eight bytes per byte: \u001F written with
    // one eight-byte store), chunk by chunk.
    constexpr qsizetype chunk = 4096;
    while (src < end) {
        const char *const chunkEnd = src + qMin<qsizetype>(chunk, end - src);
        out.reserveMore((chunkEnd - src) * 8 + 32);
        char *p = out.cursor();
        while (src < chunkEnd) {
#if defined(__SSE2__)
            // Sixteen bytes at a time up to the next byte that needs an
            // escape; bytes of multi-byte characters go through unchanged.
            if (chunkEnd - src >= 16) {
                const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src));
                const __m128i control =
                    _mm_cmpeq_epi8(_mm_min_epu8(bytes, _mm_set1_epi8(0x1F)), bytes);
                const __m128i special =
                    _mm_or_si128(_mm_or_si128(control, _mm_cmpeq_epi8(bytes, _mm_set1_epi8('"'))),
                                 _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\')),
                                              _mm_cmpeq_epi8(bytes, _mm_set1_epi8('/'))));
                _mm_storeu_si128(reinterpret_cast<__m128i *>(p), bytes);
                const auto mask = static_cast<unsigned>(_mm_movemask_epi8(special));
                if (mask == 0) {
                    src += 16;
                    p += 16;
                    continue;
                }
                const int count = __builtin_ctz(mask);
                src += count;
                p += count;
            }
#endif
            const auto c = static_cast<unsigned char>(*src++);
            if (c < 0x80) {
                const AsciiOutput &escaped = asciiOutputs[c];
                std::memcpy(p, &escaped, sizeof escaped);
                p += escaped.length;
            } else {
                *p++ = static_cast<char>(c);
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

// An RFC 3339 date-time: "YYYY-MM-DDTHH:MM:SS", an optional fraction of
// any length (kept to the millisecond, truncated), then "Z" or an offset
// "+HH:MM" / "-HH:MM". "T" and "Z" may be lower case. Fields are range
// checked, days against their month; a leap second (":60") is refused
// because the instant type cannot hold it.
[[nodiscard]] std::optional<qint64> parseDateTime(std::u16string_view text)
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

// Hex digit values by character, -1 for the rest: a lookup, because ids
// mix digits and letters at random and branches would guess wrong.
constexpr std::array<std::int8_t, 128> hexValues = [] {
    std::array<std::int8_t, 128> table{};
    for (auto &value : table)
        value = -1;
    for (int c = 0; c < 10; ++c)
        table[std::size_t('0' + c)] = static_cast<std::int8_t>(c);
    for (int c = 0; c < 6; ++c) {
        table[std::size_t('a' + c)] = static_cast<std::int8_t>(10 + c);
        table[std::size_t('A' + c)] = static_cast<std::int8_t>(10 + c);
    }
    return table;
}();

[[nodiscard]] constexpr int hexValue(char16_t c)
{
    return c < 128 ? hexValues[c] : -1;
}

// Exactly 8-4-4-4-12 hex digits, either case, no braces.
[[nodiscard]] std::optional<QUuid> parseUuid(std::u16string_view text)
{
    if (text.size() != 36)
        return std::nullopt;
    if (text[8] != u'-' || text[13] != u'-' || text[18] != u'-' || text[23] != u'-')
        return std::nullopt;
    std::array<uchar, 16> bytes{};
    std::size_t pos = 0;
    int invalid = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            if (text[pos] != u'-')
                return std::nullopt;
            ++pos;
        }
        const int high = hexValue(text[pos]);
        const int low = hexValue(text[pos + 1]);
        invalid |= high | low;
        bytes[i] = static_cast<uchar>(high << 4 | low);
        pos += 2;
    }
    if (invalid < 0)
        return std::nullopt;
    return QUuid::fromRfc4122(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

// The escapes that stand for one fixed character (all but \u), by the
// letter after the backslash; 0 for none.
constexpr std::array<char16_t, 256> simpleEscapes = [] {
    std::array<char16_t, 256> table{};
    table['"'] = u'"';
    table['\\'] = u'\\';
    table['/'] = u'/';
    table['b'] = u'\b';
    table['f'] = u'\f';
    table['n'] = u'\n';
    table['r'] = u'\r';
    table['t'] = u'\t';
    return table;
}();

[[nodiscard]] constexpr bool isContinuation(uchar b)
{
    return (b & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence that starts at `p` (at a byte
// >= 0x80): 2, 3 or 4; 0 for anything else (a stray or cut-short sequence,
// an overlong form, a surrogate, a code point above U+10FFFF).
[[nodiscard]] inline int sequenceLength(const uchar *p, const uchar *end)
{
    const uchar b = p[0];
    const qsizetype left = end - p;
    if (b >= 0xC2 && b <= 0xDF)
        return left >= 2 && isContinuation(p[1]) ? 2 : 0;
    if (b >= 0xE0 && b <= 0xEF)
        return left >= 3 && isContinuation(p[1]) && isContinuation(p[2]) &&
                       (b != 0xE0 || p[1] >= 0xA0) && (b != 0xED || p[1] <= 0x9F)
                   ? 3
                   : 0;
    if (b >= 0xF0 && b <= 0xF4)
        return left >= 4 && isContinuation(p[1]) && isContinuation(p[2]) && isContinuation(p[3]) &&
                       (b != 0xF0 || p[1] >= 0x90) && (b != 0xF4 || p[1] <= 0x8F)
                   ? 4
                   : 0;
    return 0;
}

// One character given as one code unit (never a lone surrogate) or a
// surrogate pair, written as UTF-8; returns the end of what it wrote.
char *writeUtf8(char *p, const char16_t *units, qsizetype count)
{
    const char32_t c = count == 2 ? QChar::surrogateToUcs4(units[0], units[1]) : units[0];
    if (c < 0x80) {
        *p++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *p++ = static_cast<char>(0xC0 | (c >> 6));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *p++ = static_cast<char>(0xE0 | (c >> 12));
        *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *p++ = static_cast<char>(0xF0 | (c >> 18));
        *p++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *p++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return p;
}

// Whether the \u escape at `p` is one the writer makes: \u00XX, upper
// case, for a control character without a short form.
[[nodiscard]] bool isWritersUnicodeEscape(const uchar *p, const uchar *end)
{
    if (end - p < 6 || p[1] != 'u' || p[2] != '0' || p[3] != '0' || (p[4] != '0' && p[4] != '1'))
        return false;
    const uchar low = p[5];
    const int value = (p[4] - '0') << 4 | hexValue(low);
    return hexValue(low) >= 0 && !(low >= 'a' && low <= 'f') &&
           asciiOutputs[std::size_t(value)].length == 6;
}

// What writeElement() puts around an item's text, its date and its id.
constexpr std::string_view elementHead = "\n  {\n    \"content\" : \"";
constexpr std::string_view afterContent = ",\n    \"createdAt\" : \""; // after its quote
constexpr std::string_view afterDate = "\",\n    \"id\" : \"";
constexpr std::string_view afterId = "\"\n  }";
constexpr qsizetype dateLength = 20;
constexpr qsizetype idLength = 36;
constexpr qsizetype elementTailLength = qsizetype(afterContent.size()) + dateLength +
                                        qsizetype(afterDate.size()) + idLength +
                                        qsizetype(afterId.size());

[[nodiscard]] bool startsWith(const uchar *p, const uchar *end, std::string_view text)
{
    return end - p >= qsizetype(text.size()) && std::memcmp(p, text.data(), text.size()) == 0;
}

// Whether the bytes at `p`, just after the quote that ends an item's text,
// are exactly what writeElement() puts there up to the element's "}". Only
// the layout is looked at: the reader checks the rest (digits, fields in
// range) and fails the whole file when it is wrong. What is left of the
// date and the id is their form: whole seconds in UTC, upper-case hex.
[[nodiscard]] bool isWritersElementTail(const uchar *p, const uchar *end)
{
    if (end - p < elementTailLength || !startsWith(p, end, afterContent))
        return false;
    p += afterContent.size();
    if (p[10] != 'T' || p[19] != 'Z')
        return false;
    p += dateLength;
    if (!startsWith(p, end, afterDate))
        return false;
    p += afterDate.size();
    // No byte above '`' (hex digits, '-' and 'A'-'F' are all below it),
    // eight at a time: adding 0x1F to each byte sets its top bit exactly
    // when it is 0x61 or more (bytes of 0x80 or more have it already).
    constexpr quint64 ones = 0x0101010101010101;
    quint64 above = 0;
    for (qsizetype i = 0; i < idLength; i += 8) {
        quint64 word = 0;
        std::memcpy(&word, p + i, std::size_t(qMin<qsizetype>(8, idLength - i)));
        above |= (word + ones * 0x1F) | word;
    }
    return (above & ones * 0x80) == 0 && startsWith(p + idLength, end, afterId);
}

#if defined(__SSE2__)
// Lanes of `bytes` at `floor` or above (SSE2 compares bytes as signed).
inline __m128i atLeast(__m128i bytes, uchar floor)
{
    const __m128i limit = _mm_set1_epi8(static_cast<char>(floor));
    return _mm_cmpeq_epi8(_mm_max_epu8(bytes, limit), bytes);
}

// UTF-8 in sixteen bytes that begin at a character boundary, as bit masks
// by byte: the bytes that break it, and the lead bytes whose character
// runs past the sixteenth byte (it is checked with the next sixteen).
struct Utf8Check {
    unsigned faults;
    unsigned unfinished;
};

inline Utf8Check checkUtf8(__m128i bytes)
{
    const __m128i lead = atLeast(bytes, 0xC0);
    const __m128i lead3 = atLeast(bytes, 0xE0);
    const __m128i lead4 = atLeast(bytes, 0xF0);
    const __m128i continuation =
        _mm_cmpeq_epi8(_mm_and_si128(bytes, _mm_set1_epi8(char(0xC0))), _mm_set1_epi8(char(0x80)));
    // Continuation bytes exactly where the lead bytes before them call for
    // one: one byte after each, two after E0 and up, three after F0 and up.
    const __m128i expected = _mm_or_si128(
        _mm_slli_si128(lead, 1), _mm_or_si128(_mm_slli_si128(lead3, 2), _mm_slli_si128(lead4, 3)));
    __m128i faults = _mm_xor_si128(expected, continuation);
    // Lead bytes of nothing: C0 and C1 (overlong), F5 and up (past U+10FFFF).
    faults = _mm_or_si128(faults, _mm_cmpeq_epi8(_mm_and_si128(bytes, _mm_set1_epi8(char(0xFE))),
                                                 _mm_set1_epi8(char(0xC0))));
    faults = _mm_or_si128(faults, atLeast(bytes, 0xF5));
    // Second bytes: at least A0 after E0 and 90 after F0 (overlong), below
    // A0 after ED (surrogates) and below 90 after F4 (past U+10FFFF).
    const __m128i previous = _mm_slli_si128(bytes, 1);
    const __m128i fromA0 = atLeast(bytes, 0xA0);
    const __m128i from90 = atLeast(bytes, 0x90);
    const __m128i second = _mm_or_si128(
        _mm_or_si128(_mm_andnot_si128(fromA0, _mm_cmpeq_epi8(previous, _mm_set1_epi8(char(0xE0)))),
                     _mm_and_si128(fromA0, _mm_cmpeq_epi8(previous, _mm_set1_epi8(char(0xED))))),
        _mm_or_si128(_mm_andnot_si128(from90, _mm_cmpeq_epi8(previous, _mm_set1_epi8(char(0xF0)))),
                     _mm_and_si128(from90, _mm_cmpeq_epi8(previous, _mm_set1_epi8(char(0xF4))))));
    faults = _mm_or_si128(faults, second);
    const auto leads = unsigned(_mm_movemask_epi8(lead));
    const auto leads3 = unsigned(_mm_movemask_epi8(lead3));
    const auto leads4 = unsigned(_mm_movemask_epi8(lead4));
    return {unsigned(_mm_movemask_epi8(faults)),
            (leads & 0x8000) | (leads3 & 0x4000) | (leads4 & 0x2000)};
}
#endif

// The date as the writer writes it, "YYYY-MM-DDTHH:MM:SSZ", at `p`, whose
// "T" and "Z" have been seen; as parseDateTime() reads it, or nothing.
[[nodiscard]] std::optional<qint64> readWritersDate(const char *p)
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

// Eight upper-case hex digits at `p` as a number, -1 when any is not one;
// eight at a time, for bytes below 0x80 (which isWritersElementTail() has
// made sure of), so that adding to one byte never carries into the next.
[[nodiscard]] qint64 readUpperHex8(const char *p)
{
    constexpr quint64 ones = 0x0101010101010101;
    constexpr quint64 tops = ones * 0x80;
    quint64 bytes = 0;
    std::memcpy(&bytes, p, 8);
    // The top bit of each byte that is `floor` or more.
    auto atLeast = [&](unsigned floor) { return (bytes + ones * (0x80 - floor)) & tops; };
    const quint64 digits = atLeast('0') & ~atLeast('9' + 1);
    const quint64 letters = atLeast('A') & ~atLeast('F' + 1);
    if ((digits | letters) != tops)
        return -1;
    // Each byte's value, then pairs, quads and the eight put together, the
    // first character (the lowest byte) the most significant.
    quint64 value = (bytes & ones * 0x0F) + (letters >> 7) * 9;
    value = ((value << 4) | (value >> 8)) & 0x00FF00FF00FF00FF;
    value = ((value << 8) | (value >> 16)) & 0x0000FFFF0000FFFF;
    value = ((value << 16) | (value >> 32)) & 0xFFFFFFFF;
    return qint64(value);
}

// The id as the writer writes it, 8-4-4-4-12 upper-case hex digits, at `p`.
[[nodiscard]] std::optional<QUuid> readWritersId(const char *p)
{
    if (p[8] != '-' || p[13] != '-' || p[18] != '-' || p[23] != '-')
        return std::nullopt;
    std::array<char, 32> hex{};
    std::memcpy(hex.data(), p, 8);
    std::memcpy(hex.data() + 8, p + 9, 4);
    std::memcpy(hex.data() + 12, p + 14, 4);
    std::memcpy(hex.data() + 16, p + 19, 4);
    std::memcpy(hex.data() + 20, p + 24, 12);
    std::array<qint64, 4> words{};
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = readUpperHex8(hex.data() + 8 * i);
    if ((words[0] | words[1] | words[2] | words[3]) < 0)
        return std::nullopt;
    auto byte = [&](std::size_t word, int shift) { return uchar(words[word] >> shift); };
    return QUuid(uint(words[0]), ushort(words[1] >> 16), ushort(words[1]), byte(2, 24), byte(2, 16),
                 byte(2, 8), byte(2, 0), byte(3, 24), byte(3, 16), byte(3, 8), byte(3, 0));
}

// The date and the id of an element whose tail isWritersElementTail()
// found at `p`, read where they stand. They are read this way only when
// both are plain digits, letters and separators, whole strings with nothing
// to unescape, so that the reader would read them the same. False
// otherwise, for the reader to read them (and tell what is wrong).
[[nodiscard]] bool readWritersDateAndId(const uchar *p, std::optional<qint64> &ms, QUuid &id)
{
    const auto *const date = reinterpret_cast<const char *>(p) + afterContent.size();
    const std::optional<qint64> when = readWritersDate(date);
    const std::optional<QUuid> uuid = readWritersId(date + dateLength + afterDate.size());
    if (!when || !uuid)
        return false;
    ms = when;
    id = *uuid;
    return true;
}

// A strict single-pass JSON reader for the history file: it decodes the
// strings it needs straight into UTF-16 (an item's text into UTF-8), checks everything it skips,
// keeps no tree, and nests through an explicit stack (deep input cannot exhaust the call stack).
// Any fault is reported with its byte offset.
class JsonReader {
public:
    explicit JsonReader(QByteArrayView json, const HistoryCodec::Consumed *consumed = nullptr)
        : m_begin(reinterpret_cast<const uchar *>(json.data())), m_pos(m_begin),
          m_end(m_begin + json.size()), m_consumed(consumed && *consumed ? consumed : nullptr),
          m_reported(m_begin)
    {
    }

    // Tells the caller, every few megabytes, how far the reader is done.
    void reportProgress(const uchar *pos)
    {
        if (m_consumed != nullptr && pos - m_reported >= kProgressStep) {
            m_reported = pos;
            (*m_consumed)(pos - m_begin);
        }
    }
    void reportProgress() { reportProgress(m_pos); }

    [[nodiscard]] const QString &error() const { return m_error; }
    [[nodiscard]] bool atEnd() const { return m_pos == m_end; }
    // Goes on at `offset`, ahead, past bytes known to be well-formed.
    void moveTo(qsizetype offset) { m_pos = m_begin + offset; }
    [[nodiscard]] qsizetype offset() const { return m_pos - m_begin; }
    [[nodiscard]] uchar peek() const { return m_pos < m_end ? *m_pos : 0; }

    void skipWhitespace()
    {
        while (m_pos < m_end &&
               (*m_pos == ' ' || *m_pos == '\n' || *m_pos == '\r' || *m_pos == '\t'))
            ++m_pos;
    }

    // Consumes `c` after optional white space.
    [[nodiscard]] bool expect(uchar c)
    {
        skipWhitespace();
        if (peek() != c)
            return fail();
        ++m_pos;
        return true;
    }

    bool fail(const char *what = "malformed JSON")
    {
        if (m_error.isEmpty())
            m_error = QStringLiteral("%1 at byte %2").arg(QLatin1String(what)).arg(m_pos - m_begin);
        return false;
    }

    // A string at the current position (after white space), decoded into
    // `text()`, valid until the next string is read.
    [[nodiscard]] bool readString()
    {
        skipWhitespace();
        if (peek() != '"')
            return fail();
        // The cursor and length live in locals here (registers), and go back
        // to the members around the rare paths.
        const uchar *pos = m_pos + 1;
        const uchar *const end = m_end;
        qsizetype length = 0;
        for (;;) {
            reportProgress(pos);
            if (length + 32 > m_scratch.size())
                m_scratch.resize(2 * m_scratch.size() + 256);
            char16_t *dst = reinterpret_cast<char16_t *>(m_scratch.data()) + length;
#if defined(__SSE2__)
            // Sixteen bytes at a time while they are plain ASCII (not a quote,
            // backslash or control character).
            if (end - pos >= 16) {
                const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(pos));
                const __m128i stop = _mm_or_si128(
                    _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')),
                                 _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\'))),
                    _mm_cmplt_epi8(bytes, _mm_set1_epi8(0x20))); // also catches bytes >= 0x80
                const auto mask = static_cast<unsigned>(_mm_movemask_epi8(stop));
                const __m128i zero = _mm_setzero_si128();
                _mm_storeu_si128(reinterpret_cast<__m128i *>(dst), _mm_unpacklo_epi8(bytes, zero));
                _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + 8),
                                 _mm_unpackhi_epi8(bytes, zero));
                if (mask == 0) {
                    pos += 16;
                    length += 16;
                    continue;
                }
                const int count = __builtin_ctz(mask);
                pos += count;
                length += count;
                dst += count;
            }
#endif
            if (pos >= end) {
                m_pos = pos;
                return fail();
            }
            const uchar b = *pos;
            if (b == '"') {
                m_pos = pos + 1;
                m_length = length;
                return true;
            }
            if (b == '\\' && end - pos >= 2 && simpleEscapes[pos[1]] != 0) {
                *dst = simpleEscapes[pos[1]];
                pos += 2;
                ++length;
            } else if (b >= 0x80 && b < 0xF0 && sequenceLength(pos, end) != 0) {
                // Two or three bytes: one code unit.
                *dst = b < 0xE0 ? static_cast<char16_t>((b & 0x1F) << 6 | (pos[1] & 0x3F))
                                : static_cast<char16_t>((b & 0x0F) << 12 | (pos[1] & 0x3F) << 6 |
                                                        (pos[2] & 0x3F));
                pos += b < 0xE0 ? 2 : 3;
                ++length;
            } else if (b >= 0x20 && b < 0x80 && b != '\\') {
                *dst = b;
                ++pos;
                ++length;
            } else {
                m_pos = pos;
                m_length = length;
                if (b < 0x20)
                    return fail();
                if (!(b == '\\' ? readEscape(dst) : readMultiByte(dst)))
                    return false;
                pos = m_pos;
                length = m_length;
            }
        }
    }

    // Like readString(), for an item's text: decoded into UTF-8, which is
    // mostly a copy of the bytes between the quotes, checked on the way.
    // The result is in `utf8Text()`, valid until the next such read.
    // With NoteForm, `inWritersForm()` then tells whether the string was
    // written as writeStringBody() writes it: no raw `/`, and every escape
    // the writer's own (raw UTF-8 is written back as it is).
    template <bool NoteForm = false> [[nodiscard]] bool readUtf8String()
    {
        skipWhitespace();
        if (peek() != '"')
            return fail();
        const uchar *pos = m_pos + 1;
        const uchar *const end = m_end;
        qsizetype length = 0;
        bool writersForm = true;
        for (;;) {
            reportProgress(pos);
            if (length + 32 > m_utf8Scratch.size())
                m_utf8Scratch.resize(2 * m_utf8Scratch.size() + 256);
            char *dst = m_utf8Scratch.data() + length;
#if defined(__SSE2__)
            if (end - pos >= 16) {
                // Sixteen bytes at a time, as far as the checks just made
                // hold: the text never grows faster than the input is read,
                // and progress is not due before the step runs out.
                qsizetype span =
                    qMin<qsizetype>(end - pos - 16, m_utf8Scratch.size() - length - 32);
                if (m_consumed != nullptr)
                    span = qMin(span, kProgressStep - (pos - m_reported));
                const uchar *const lastStep = pos + span;
                const char *const stepStart = dst;
                while (pos <= lastStep) {
                    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(pos));
                    const __m128i control =
                        _mm_cmpeq_epi8(_mm_min_epu8(bytes, _mm_set1_epi8(0x1F)), bytes);
                    __m128i stop =
                        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')),
                                                  _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\'))),
                                     control);
                    if constexpr (NoteForm)
                        stop = _mm_or_si128(stop, _mm_cmpeq_epi8(bytes, _mm_set1_epi8('/')));
                    _mm_storeu_si128(reinterpret_cast<__m128i *>(dst), bytes);
                    const unsigned stops = unsigned(_mm_movemask_epi8(stop)) | 1u << 16;
                    unsigned count = unsigned(__builtin_ctz(stops));
                    const unsigned multiByte =
                        unsigned(_mm_movemask_epi8(bytes)) & ((1u << count) - 1);
                    if (multiByte != 0) {
                        // Up to the first stop or the last character that
                        // ends in these bytes, whichever comes first; a
                        // fault there (or a character cut short by the
                        // stop) is told apart one character at a time.
                        const Utf8Check utf8 = checkUtf8(bytes);
                        count = unsigned(__builtin_ctz(stops | utf8.unfinished));
                        if ((utf8.faults & ((2u << count) - 1)) != 0) {
                            count = unsigned(__builtin_ctz(multiByte));
                            pos += count;
                            dst += count;
                            break;
                        }
                    }
                    pos += count;
                    dst += count;
                    if (count == 16 || *pos >= 0x80)
                        continue;
                    // At a stop: the escapes the writer makes and the end
                    // of the text are taken here, the rest below.
                    const uchar b = *pos;
                    if (b == '\\' && end - pos >= 2 && simpleEscapes[pos[1]] != 0) {
                        // Escapes come in runs (`\/\/` in a comment); the
                        // step's limit holds for them too, as the buffer
                        // need not have room for more (a text with no end).
                        do {
                            *dst++ = static_cast<char>(simpleEscapes[pos[1]]);
                            pos += 2;
                        } while (pos <= lastStep && *pos == '\\' && simpleEscapes[pos[1]] != 0);
                    } else if (b == '"') {
                        m_pos = pos + 1;
                        m_utf8Length = length + (dst - stepStart);
                        m_inWritersForm = writersForm;
                        return true;
                    } else if (NoteForm && b == '/') {
                        writersForm = false; // the writer escapes it
                        ++pos;
                        ++dst;
                    } else {
                        break;
                    }
                }
                length += dst - stepStart;
            }
#endif
            if (pos >= end) {
                m_pos = pos;
                return fail();
            }
            const uchar b = *pos;
            if (b == '"') {
                m_pos = pos + 1;
                m_utf8Length = length;
                m_inWritersForm = writersForm;
                return true;
            }
            // One character; where the sixteen-byte step stops, an escape
            // or a character of two or three bytes is the common case.
            if (b == '\\' && end - pos >= 2 && simpleEscapes[pos[1]] != 0) {
                *dst = static_cast<char>(simpleEscapes[pos[1]]);
                pos += 2;
                ++length;
            } else if (const int bytes = b >= 0x80 ? sequenceLength(pos, end) : 0; bytes != 0) {
                // Well-formed UTF-8 is kept as it is.
                std::memcpy(dst, pos, size_t(bytes));
                pos += bytes;
                length += bytes;
            } else if (b >= 0x20 && b < 0x80 && b != '\\' && (!NoteForm || b != '/')) {
                *dst = static_cast<char>(b);
                ++pos;
                ++length;
            } else if (NoteForm && b == '/') {
                writersForm = false; // the writer escapes it
                *dst = '/';
                ++pos;
                ++length;
            } else if (b < 0x20) {
                m_pos = pos;
                return fail();
            } else {
                // A \u escape, or bytes that are not UTF-8: decoded or
                // reported by the common code.
                if constexpr (NoteForm)
                    writersForm = writersForm && (b != '\\' || isWritersUnicodeEscape(pos, end));
                m_pos = pos;
                const qsizetype unitsBefore = std::exchange(m_length, 0);
                char16_t units[2];
                if (!(b == '\\' ? readEscape(units) : readMultiByte(units)))
                    return false;
                length += writeUtf8(dst, units, m_length) - dst;
                m_length = unitsBefore;
                pos = m_pos;
            }
        }
    }

    // Before an item's text: the buffer grows, if it must, to the size of
    // the literal ahead (its UTF-8 form is never longer), so a text of any
    // size is decoded once, in place, and utf8Text() hands a large one over
    // without a copy. Loading a huge item then needs its size once more
    // than the file, not two or three times.
    void prepareForLiteral()
    {
        skipWhitespace();
        if (peek() != '"')
            return;
        const uchar *quote = m_pos + 1;
        for (;;) {
            quote = static_cast<const uchar *>(std::memchr(quote, '"', std::size_t(m_end - quote)));
            if (quote == nullptr)
                return; // unterminated: readUtf8String() reports it
            qsizetype backslashes = 0;
            while (quote - backslashes - 1 > m_pos && quote[-backslashes - 1] == '\\')
                ++backslashes;
            if (backslashes % 2 == 0)
                break;
            ++quote;
        }
        const qsizetype needed = qsizetype(quote - m_pos) + 32;
        if (needed > m_utf8Scratch.size())
            m_utf8Scratch = QByteArray(needed, Qt::Uninitialized);
    }

    // The string just read by readUtf8String(). A short one is copied to a
    // buffer of its size; a long one takes the buffer with it (the room to
    // spare, never touched, takes no memory).
    [[nodiscard]] QByteArray utf8Text()
    {
        if (m_utf8Length < 65536)
            return {m_utf8Scratch.constData(), m_utf8Length};
        m_utf8Scratch.truncate(m_utf8Length);
        return std::exchange(m_utf8Scratch, QByteArray());
    }

    [[nodiscard]] bool inWritersForm() const
    {
        return m_inWritersForm;
    }

    [[nodiscard]] std::u16string_view text() const
    {
        return {reinterpret_cast<const char16_t *>(m_scratch.constData()),
                static_cast<std::size_t>(m_length)};
    }

    // Checks one value of any kind and moves past it.
    [[nodiscard]] bool skipValue()
    {
        constexpr std::size_t maxDepth = 10000;
        std::vector<uchar> closers;
        for (;;) {
            // A value.
            skipWhitespace();
            switch (peek()) {
            case '"':
                if (!readString())
                    return false;
                break;
            case '[':
            case '{': {
                if (closers.size() == maxDepth)
                    return fail("nested too deeply");
                const bool isObject = *m_pos == '{';
                ++m_pos;
                skipWhitespace();
                if (peek() == (isObject ? '}' : ']')) {
                    ++m_pos;
                    break;
                }
                closers.push_back(isObject ? '}' : ']');
                if (isObject && !(readString() && expect(':')))
                    return false;
                continue;
            }
            case 't':
                if (!readLiteral("true"))
                    return false;
                break;
            case 'f':
                if (!readLiteral("false"))
                    return false;
                break;
            case 'n':
                if (!readLiteral("null"))
                    return false;
                break;
            default:
                if (!readNumber())
                    return false;
                break;
            }
            // After a value: close containers, or go on to the next member.
            for (;;) {
                if (closers.empty())
                    return true;
                skipWhitespace();
                if (peek() == closers.back()) {
                    ++m_pos;
                    closers.pop_back();
                    continue;
                }
                if (peek() != ',')
                    return fail();
                ++m_pos;
                if (closers.back() == '}' && !(readString() && expect(':')))
                    return false;
                break;
            }
        }
    }

private:
    [[nodiscard]] bool readLiteral(std::string_view literal)
    {
        if (static_cast<std::size_t>(m_end - m_pos) < literal.size() ||
            std::memcmp(m_pos, literal.data(), literal.size()) != 0)
            return fail();
        m_pos += literal.size();
        return true;
    }

    // -? (0 | [1-9][0-9]*) (. [0-9]+)? ([eE] [+-]? [0-9]+)?
    [[nodiscard]] bool readNumber()
    {
        auto digits = [this] {
            const uchar *start = m_pos;
            while (m_pos < m_end && *m_pos >= '0' && *m_pos <= '9')
                ++m_pos;
            return m_pos - start;
        };
        if (peek() == '-')
            ++m_pos;
        if (peek() == '0')
            ++m_pos;
        else if (digits() == 0)
            return fail();
        if (peek() == '.') {
            ++m_pos;
            if (digits() == 0)
                return fail();
        }
        if (peek() == 'e' || peek() == 'E') {
            ++m_pos;
            if (peek() == '+' || peek() == '-')
                ++m_pos;
            if (digits() == 0)
                return fail();
        }
        return true;
    }

    [[nodiscard]] int readHex4()
    {
        if (m_end - m_pos < 4)
            return -1;
        int value = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = hexValue(m_pos[i]);
            if (digit < 0)
                return -1;
            value = value << 4 | digit;
        }
        m_pos += 4;
        return value;
    }

    // At a backslash. A \u escape of a lone surrogate, which UTF-16 text
    // cannot carry meaningfully, becomes U+FFFD.
    [[nodiscard]] bool readEscape(char16_t *dst)
    {
        if (m_end - m_pos < 2)
            return fail();
        const uchar kind = m_pos[1];
        char16_t unit = 0;
        switch (kind) {
        case '"':
        case '\\':
        case '/':
            unit = kind;
            break;
        case 'b':
            unit = u'\b';
            break;
        case 'f':
            unit = u'\f';
            break;
        case 'n':
            unit = u'\n';
            break;
        case 'r':
            unit = u'\r';
            break;
        case 't':
            unit = u'\t';
            break;
        case 'u': {
            m_pos += 2;
            const int code = readHex4();
            if (code < 0)
                return fail();
            if (code >= 0xD800 && code <= 0xDBFF && m_end - m_pos >= 6 && m_pos[0] == '\\' &&
                m_pos[1] == 'u') {
                const uchar *const pairStart = m_pos;
                m_pos += 2;
                const int low = readHex4();
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    dst[0] = static_cast<char16_t>(code);
                    dst[1] = static_cast<char16_t>(low);
                    m_length += 2;
                    return true;
                }
                m_pos = pairStart; // not a pair: read that escape on its own
            }
            *dst = code >= 0xD800 && code <= 0xDFFF ? u'\uFFFD' : static_cast<char16_t>(code);
            ++m_length;
            return true;
        }
        default:
            return fail();
        }
        *dst = unit;
        m_pos += 2;
        ++m_length;
        return true;
    }

    // At a byte >= 0x80: one well-formed UTF-8 sequence (no overlongs, no
    // surrogates, nothing above U+10FFFF), or a failure.
    [[nodiscard]] bool readMultiByte(char16_t *dst)
    {
        const uchar *const p = m_pos;
        switch (sequenceLength(p, m_end)) {
        case 2:
            *dst = static_cast<char16_t>((p[0] & 0x1F) << 6 | (p[1] & 0x3F));
            m_pos += 2;
            ++m_length;
            return true;
        case 3:
            *dst = static_cast<char16_t>((p[0] & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
            m_pos += 3;
            ++m_length;
            return true;
        case 4: {
            const char32_t u =
                (p[0] & 0x07) << 18 | (p[1] & 0x3F) << 12 | (p[2] & 0x3F) << 6 | (p[3] & 0x3F);
            dst[0] = static_cast<char16_t>(0xD800 + ((u - 0x10000) >> 10));
            dst[1] = static_cast<char16_t>(0xDC00 + ((u - 0x10000) & 0x3FF));
            m_pos += 4;
            m_length += 2;
            return true;
        }
        default:
            return fail("not valid UTF-8");
        }
    }

    const uchar *const m_begin;
    const uchar *m_pos;
    const uchar *const m_end;
    static constexpr qsizetype kProgressStep = 8 * 1024 * 1024;
    const HistoryCodec::Consumed *const m_consumed;
    const uchar *m_reported;
    QString m_scratch; // grown with resize(), which leaves new room uninitialised
    qsizetype m_length = 0;
    QByteArray m_utf8Scratch;
    qsizetype m_utf8Length = 0;
    bool m_inWritersForm = false;
    QString m_error;
};

QByteArrayView asView(std::string_view text)
{
    return {text.data(), qsizetype(text.size())};
}

QString itemError(qsizetype index, const char *what)
{
    return QStringLiteral("item %1: %2").arg(index + 1).arg(QLatin1String(what));
}

void writeElement(ByteWriter &out, const ClipboardItem &item)
{
    out.append("  {\n    \"content\" : \"");
    writeStringBody(out, item.content.utf8());
    out.append("\",\n    \"createdAt\" : \"");
    writeDate(out, item.createdAt);
    out.append("\",\n    \"id\" : \"");
    writeUuid(out, item.id);
    out.append("\"\n  }");
}

void writeItems(ByteWriter &out, const QList<ClipboardItem> &items, QList<qint64> *elementEnds)
{
    out.append(HistoryCodec::arrayStart);
    bool first = true;
    for (const ClipboardItem &item : items) {
        if (out.failed())
            return;
        if (!first)
            out.append(HistoryCodec::separator);
        first = false;
        writeElement(out, item);
        if (elementEnds)
            elementEnds->append(out.position());
    }
    out.append(HistoryCodec::arrayEnd);
}

} // namespace

QByteArray HistoryCodec::encode(const QList<ClipboardItem> &items)
{
    if (items.isEmpty())
        return QByteArrayLiteral("[]");

    // Room for the common worst case (three bytes per code unit) up front:
    // pages that stay unused cost nothing, a regrowth costs a copy.
    qsizetype expected = 16;
    for (const ClipboardItem &item : items)
        expected += item.content.utf8Size() + item.content.utf8Size() / 8 + 140;
    ByteWriter out(expected);
    writeItems(out, items, nullptr);
    return out.take();
}

bool HistoryCodec::encode(const QList<ClipboardItem> &items, const Sink &sink,
                          QList<qint64> *elementEnds)
{
    if (items.isEmpty())
        return sink(emptyArray);
    ByteWriter out(sink);
    writeItems(out, items, elementEnds);
    out.flush();
    return !out.failed();
}

bool HistoryCodec::encodeElement(const ClipboardItem &item, const Sink &sink)
{
    // A buffer the size of a common element, and never more than the
    // writer's megabyte, however big the text.
    ByteWriter out(sink, item.content.utf8Size() + item.content.utf8Size() / 8 + 140);
    writeElement(out, item);
    out.flush();
    return !out.failed();
}

bool HistoryCodec::decode(QByteArrayView json, QList<ClipboardItem> &items, QString &error)
{
    return decode(json, items, error, {});
}

bool HistoryCodec::decode(QByteArrayView json, QList<ClipboardItem> &items, QString &error,
                          const Consumed &consumed, Layout *layout)
{
    // A byte-order mark is not JSON, but harmless: skip it.
    qsizetype skipped = 0;
    if (json.startsWith("\xEF\xBB\xBF")) {
        json = json.sliced(3);
        skipped = 3;
    }
    // Whether the input is in the writer's form is seen as it is read: the
    // bytes of an element before and after its text are looked at just
    // before the reader takes them (after that, their memory may be given
    // back), and the text as the reader decodes it.
    const auto *const bytes = reinterpret_cast<const uchar *>(json.data());
    const uchar *const bytesEnd = bytes + json.size();
    bool canonical = layout != nullptr && skipped == 0 && json.startsWith('[');
    QList<qint64> ends;
    const Consumed fromStart =
        consumed ? Consumed([&](qsizetype n) { consumed(n + skipped); }) : Consumed();
    JsonReader reader(json, &fromStart);
    reader.skipWhitespace();
    if (reader.atEnd()) {
        error = QStringLiteral("the file is empty");
        return false;
    }
    if (reader.peek() != '[') {
        error = QStringLiteral("not a JSON array");
        return false;
    }

    enum Member { content, createdAt, id, memberCount };
    static constexpr std::array<std::u16string_view, memberCount> memberNames{u"content",
                                                                              u"createdAt", u"id"};
    static constexpr std::array<const char *, memberCount> notAString{
        "\"content\" is not a string", "\"createdAt\" is not a string", "\"id\" is not a string"};
    static constexpr std::array<const char *, memberCount> missing{
        "\"content\" is missing", "\"createdAt\" is missing", "\"id\" is missing"};

    QList<ClipboardItem> decoded;
    auto failed = [&](QString message) {
        error = std::move(message);
        return false;
    };

    if (!reader.expect('['))
        return failed(reader.error());
    reader.skipWhitespace();
    bool more = reader.peek() != ']';
    if (!more && !reader.expect(']'))
        return failed(reader.error());
    canonical = canonical && (more || json == asView(emptyArray));
    for (qsizetype index = 0; more; ++index) {
        qsizetype elementEnd = 0;
        // The first occurrence of each member counts; anything else is
        // checked and ignored.
        ClipboardItem item;
        std::array<bool, memberCount> seen{};
        std::optional<qint64> ms;
        bool moreMembers = true;
        // Just after the "[" (white space already passed) or the ",".
        const qsizetype headStart = index == 0 ? 1 : reader.offset();
        if (canonical)
            canonical = startsWith(bytes + headStart, bytesEnd, elementHead);
        if (canonical) {
            // The writer's head ends with the quote that opens the text, the
            // first member. What follows the text, up to the "}", is still
            // there to look at; when it is the writer's too, the date and
            // the id are read where they stand.
            reader.moveTo(headStart + qsizetype(elementHead.size()) - 1);
            reader.prepareForLiteral();
            if (!reader.readUtf8String<true>())
                return failed(reader.error());
            item.content = ItemText::fromUtf8(reader.utf8Text());
            seen[content] = true;
            const uchar *const tail = bytes + reader.offset();
            canonical = reader.inWritersForm() && isWritersElementTail(tail, bytesEnd);
            elementEnd = reader.offset() + elementTailLength;
            if (canonical && readWritersDateAndId(tail, ms, item.id)) {
                seen[createdAt] = seen[id] = true;
                reader.moveTo(elementEnd);
                moreMembers = false;
            } else {
                // The other members as in any file, which also tells
                // what is wrong with them.
                reader.skipWhitespace();
                moreMembers = reader.peek() == ',';
                if (!reader.expect(moreMembers ? ',' : '}'))
                    return failed(reader.error());
            }
        } else {
            reader.skipWhitespace();
            if (reader.peek() != '{') {
                if (reader.atEnd() || reader.peek() == ']') {
                    reader.fail();
                    return failed(reader.error());
                }
                return failed(itemError(index, "not a JSON object"));
            }
            if (!reader.expect('{'))
                return failed(reader.error());
            reader.skipWhitespace();
            moreMembers = reader.peek() != '}';
            if (!moreMembers && !reader.expect('}'))
                return failed(reader.error());
        }
        while (moreMembers) {
            if (!reader.readString() || !reader.expect(':'))
                return failed(reader.error());
            int member = 0;
            while (member < memberCount && reader.text() != memberNames[member])
                ++member;
            if (member == memberCount || seen[member]) {
                if (!reader.skipValue())
                    return failed(reader.error());
            } else {
                reader.skipWhitespace();
                if (reader.peek() != '"')
                    return failed(itemError(index, notAString[member]));
                if (member == content)
                    reader.prepareForLiteral();
                if (member == content) {
                    if (!reader.readUtf8String())
                        return failed(reader.error());
                } else if (!reader.readString()) {
                    return failed(reader.error());
                }
                seen[member] = true;
                if (member == content) {
                    item.content = ItemText::fromUtf8(reader.utf8Text());
                } else if (member == createdAt) {
                    ms = parseDateTime(reader.text());
                    if (!ms)
                        return failed(
                            itemError(index, "\"createdAt\" is not a date-time with a time zone"));
                } else {
                    const std::optional<QUuid> uuid = parseUuid(reader.text());
                    if (!uuid)
                        return failed(itemError(index, "\"id\" is not a UUID"));
                    item.id = *uuid;
                }
            }
            reader.skipWhitespace();
            moreMembers = reader.peek() == ',';
            if (!reader.expect(moreMembers ? ',' : '}'))
                return failed(reader.error());
        }
        for (int member = 0; member < memberCount; ++member)
            if (!seen[member])
                return failed(itemError(index, missing[member]));
        item.createdAt = QDateTime::fromMSecsSinceEpoch(*ms, Qt::UTC);
        decoded.append(std::move(item));
        if (canonical) {
            const QByteArrayView rest = json.sliced(reader.offset());
            canonical = reader.offset() == elementEnd &&
                        (rest.startsWith(separator.front()) || rest == asView(arrayEnd));
            ends.append(elementEnd);
        }
        reader.reportProgress();

        reader.skipWhitespace();
        more = reader.peek() == ',';
        if (!reader.expect(more ? ',' : ']'))
            return failed(reader.error());
    }
    reader.skipWhitespace();
    if (!reader.atEnd()) {
        reader.fail();
        return failed(reader.error());
    }
    items = std::move(decoded);
    if (layout) {
        layout->canonical = canonical;
        layout->elementEnds = canonical ? std::move(ends) : QList<qint64>();
    }
    return true;
}
