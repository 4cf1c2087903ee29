// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "JsonReader.h"

#include "JsonText.h"

#include <cstring>
#include <type_traits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using JsonText::simpleEscapes;

namespace {

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

} // namespace

bool JsonReader::fail(const char *what)
{
    if (m_error.isEmpty())
        m_error = QStringLiteral("%1 at byte %2").arg(QLatin1String(what)).arg(m_pos - m_begin);
    return false;
}

template <typename Unit> Unit *JsonReader::scratch(qsizetype size)
{
    if constexpr (std::is_same_v<Unit, char>) {
        if (size > m_utf8Scratch.size())
            m_utf8Scratch.resize(2 * m_utf8Scratch.size() + 256);
        return m_utf8Scratch.data();
    } else {
        if (size > m_scratch.size())
            m_scratch.resize(2 * m_scratch.size() + 256);
        return reinterpret_cast<char16_t *>(m_scratch.data());
    }
}

template <typename Unit> qsizetype JsonReader::scratchSize() const
{
    if constexpr (std::is_same_v<Unit, char>)
        return m_utf8Scratch.size();
    else
        return m_scratch.size();
}

template <typename Unit, bool NoteForm> bool JsonReader::readString()
{
    constexpr bool toUtf8 = std::is_same_v<Unit, char>;
    static_assert(toUtf8 || std::is_same_v<Unit, char16_t>);
    static_assert(toUtf8 || !NoteForm);
    skipWhitespace();
    if (peek() != '"')
        return fail();
    // The cursor and length live in locals here (registers), and go back
    // to the members around the rare paths.
    const uchar *pos = m_pos + 1;
    const uchar *const end = m_end;
    qsizetype length = 0;
    bool writersForm = true;
    auto finish = [&](qsizetype finalLength) {
        m_pos = pos + 1;
        if constexpr (toUtf8) {
            m_utf8Length = finalLength;
            m_inWritersForm = writersForm;
        } else {
            m_length = finalLength;
        }
        return true;
    };
    for (;;) {
        reportProgress(pos);
        Unit *const buffer = scratch<Unit>(length + 32);
        Unit *dst = buffer + length;
#if defined(__SSE2__)
        if (end - pos > 16) {
            // Sixteen bytes at a time, as far as the checks just made hold:
            // the text never grows faster than the input is read (in units
            // of either kind), and progress is not due before the step runs
            // out. A stop is never the last byte of the input, so the byte
            // after an escape's backslash can be looked at.
            qsizetype span = qMin<qsizetype>(end - pos - 17, scratchSize<Unit>() - length - 32);
            if (m_consumed != nullptr)
                span = qMin(span, kProgressStep - (pos - m_reported));
            const uchar *const lastStep = pos + span;
            while (pos <= lastStep) {
                const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(pos));
                // Stops: a quote, a backslash, a control character; bytes
                // of 0x80 and up too for UTF-16, which is not a copy.
                __m128i stop = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')),
                                            _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\')));
                if constexpr (toUtf8) {
                    stop = _mm_or_si128(
                        stop, _mm_cmpeq_epi8(_mm_min_epu8(bytes, _mm_set1_epi8(0x1F)), bytes));
                    _mm_storeu_si128(reinterpret_cast<__m128i *>(dst), bytes);
                } else {
                    stop = _mm_or_si128(stop, _mm_cmplt_epi8(bytes, _mm_set1_epi8(0x20)));
                    const __m128i zero = _mm_setzero_si128();
                    _mm_storeu_si128(reinterpret_cast<__m128i *>(dst),
                                     _mm_unpacklo_epi8(bytes, zero));
                    _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + 8),
                                     _mm_unpackhi_epi8(bytes, zero));
                }
                if constexpr (NoteForm)
                    stop = _mm_or_si128(stop, _mm_cmpeq_epi8(bytes, _mm_set1_epi8('/')));
                const unsigned stops = unsigned(_mm_movemask_epi8(stop)) | 1u << 16;
                unsigned count = unsigned(__builtin_ctz(stops));
                if constexpr (toUtf8) {
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
                }
                pos += count;
                dst += count;
                if (count == 16 || (toUtf8 && *pos >= 0x80))
                    continue;
                // At a stop: the escapes the writer makes and the end of the
                // text are taken here, the rest below.
                const uchar b = *pos;
                if (b == '\\' && simpleEscapes[pos[1]] != 0) {
                    // Escapes come in runs (`\/\/` in a comment); the step's
                    // limit holds for them too, as the buffer need not have
                    // room for more (a text with no end).
                    do {
                        *dst++ = static_cast<Unit>(simpleEscapes[pos[1]]);
                        pos += 2;
                    } while (pos <= lastStep && *pos == '\\' && simpleEscapes[pos[1]] != 0);
                } else if (b == '"') {
                    return finish(dst - buffer);
                } else if (NoteForm && b == '/') {
                    writersForm = false; // the writer escapes it
                    ++pos;
                    ++dst;
                } else {
                    break;
                }
            }
            length = dst - buffer;
        }
#endif
        if (pos >= end) {
            m_pos = pos;
            return fail();
        }
        // One character; where the sixteen-byte step stops, an escape or a
        // character of two or three bytes is the common case.
        const uchar b = *pos;
        if (b == '"')
            return finish(length);
        if (b == '\\' && end - pos >= 2 && simpleEscapes[pos[1]] != 0) {
            *dst = static_cast<Unit>(simpleEscapes[pos[1]]);
            pos += 2;
            ++length;
        } else if (const int bytes = b >= 0x80 ? JsonText::sequenceLength(pos, end) : 0;
                   bytes != 0) {
            // Well-formed UTF-8 is kept as it is.
            if constexpr (toUtf8) {
                std::memcpy(dst, pos, size_t(bytes));
                length += bytes;
            } else {
                length += JsonText::toUtf16(dst, pos, bytes) - dst;
            }
            pos += bytes;
        } else if (b >= 0x20 && b < 0x80 && b != '\\') {
            if constexpr (NoteForm)
                writersForm = writersForm && b != '/'; // the writer escapes it
            *dst = static_cast<Unit>(b);
            ++pos;
            ++length;
        } else if (b != '\\') {
            m_pos = pos;
            return fail(b < 0x20 ? "malformed JSON" : "not valid UTF-8");
        } else {
            // A \u escape, or a backslash before anything else.
            if constexpr (NoteForm)
                writersForm = writersForm && JsonText::isWritersUnicodeEscape(pos, end);
            m_pos = pos;
            char16_t units[2] = {};
            const int count = readUnicodeEscape(units);
            if (count == 0)
                return false;
            if constexpr (toUtf8) {
                length += JsonText::toUtf8(dst, units, count) - dst;
            } else {
                dst[0] = units[0];
                dst[1] = units[1];
                length += count;
            }
            pos = m_pos;
        }
    }
}

template bool JsonReader::readString<char16_t, false>();
template bool JsonReader::readString<char, false>();
template bool JsonReader::readString<char, true>();

void JsonReader::prepareForLiteral()
{
    skipWhitespace();
    if (peek() != '"')
        return;
    const uchar *quote = m_pos + 1;
    for (;;) {
        quote = static_cast<const uchar *>(std::memchr(quote, '"', std::size_t(m_end - quote)));
        if (quote == nullptr)
            return; // unterminated: readString() reports it
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

bool JsonReader::skipValue()
{
    constexpr std::size_t maxDepth = 10000;
    std::vector<uchar> closers;
    for (;;) {
        // A value.
        skipWhitespace();
        switch (peek()) {
        case '"':
            if (!readString<char16_t>())
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
            if (isObject && !(readString<char16_t>() && expect(':')))
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
            if (closers.back() == '}' && !(readString<char16_t>() && expect(':')))
                return false;
            break;
        }
    }
}

bool JsonReader::readLiteral(std::string_view literal)
{
    if (static_cast<std::size_t>(m_end - m_pos) < literal.size() ||
        std::memcmp(m_pos, literal.data(), literal.size()) != 0)
        return fail();
    m_pos += literal.size();
    return true;
}

// -? (0 | [1-9][0-9]*) (. [0-9]+)? ([eE] [+-]? [0-9]+)?
bool JsonReader::readNumber()
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

int JsonReader::readHex4()
{
    if (m_end - m_pos < 4)
        return -1;
    int value = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = JsonText::hexValue(m_pos[i]);
        if (digit < 0)
            return -1;
        value = value << 4 | digit;
    }
    m_pos += 4;
    return value;
}

// At a backslash that is not one of the simple escapes: a \u escape as one
// code unit or a surrogate pair in `units`, and how many (0 on failure). A
// lone surrogate, which UTF-16 text cannot carry meaningfully, becomes
// U+FFFD.
int JsonReader::readUnicodeEscape(char16_t *units)
{
    if (m_end - m_pos < 2 || m_pos[1] != 'u') {
        fail();
        return 0;
    }
    m_pos += 2;
    const int code = readHex4();
    if (code < 0) {
        fail();
        return 0;
    }
    if (code >= 0xD800 && code <= 0xDBFF && m_end - m_pos >= 6 && m_pos[0] == '\\' &&
        m_pos[1] == 'u') {
        const uchar *const pairStart = m_pos;
        m_pos += 2;
        const int low = readHex4();
        if (low >= 0xDC00 && low <= 0xDFFF) {
            units[0] = static_cast<char16_t>(code);
            units[1] = static_cast<char16_t>(low);
            return 2;
        }
        m_pos = pairStart; // not a pair: read that escape on its own
    }
    units[0] = code >= 0xD800 && code <= 0xDFFF ? u'\uFFFD' : static_cast<char16_t>(code);
    return 1;
}
