// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QChar>
#include <QtGlobal>

#include <array>
#include <cstdint>

// The history codec's text rules, shared by its writer and its reader: what
// a character becomes inside a JSON string, which escapes stand for what,
// and which UTF-8 is well formed. Internal to the codec; inline, because
// both sides call these once per character.
namespace JsonText {

inline constexpr char upperHex[] = "0123456789ABCDEF";

// What each ASCII character becomes inside a JSON string as the writer
// writes it: itself, a two-character escape (`"`, `\`, `/` and the five
// named control characters), or \u00XX; eight bytes so it is copied in one
// go.
struct AsciiOutput {
    std::array<char, 7> bytes;
    std::uint8_t length;
};
static_assert(sizeof(AsciiOutput) == 8);

inline constexpr std::array<AsciiOutput, 128> asciiOutputs = [] {
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

// The escapes that stand for one fixed character (all but \u), by the
// letter after the backslash; 0 for none.
inline constexpr std::array<char16_t, 256> simpleEscapes = [] {
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

// Hex digit values by character, -1 for the rest: a lookup, because ids
// mix digits and letters at random and branches would guess wrong.
inline constexpr std::array<std::int8_t, 128> hexValues = [] {
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

// A well-formed sequence of `length` bytes at `p` (as sequenceLength()
// found it) as UTF-16: one code unit, or a surrogate pair for four bytes.
// Returns the end of what it wrote.
inline char16_t *toUtf16(char16_t *dst, const uchar *p, int length)
{
    switch (length) {
    case 2:
        *dst++ = static_cast<char16_t>((p[0] & 0x1F) << 6 | (p[1] & 0x3F));
        break;
    case 3:
        *dst++ = static_cast<char16_t>((p[0] & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
        break;
    default: {
        const char32_t u =
            (p[0] & 0x07) << 18 | (p[1] & 0x3F) << 12 | (p[2] & 0x3F) << 6 | (p[3] & 0x3F);
        *dst++ = static_cast<char16_t>(0xD800 + ((u - 0x10000) >> 10));
        *dst++ = static_cast<char16_t>(0xDC00 + ((u - 0x10000) & 0x3FF));
        break;
    }
    }
    return dst;
}

// One character given as one code unit (never a lone surrogate) or a
// surrogate pair, written as UTF-8; returns the end of what it wrote.
inline char *toUtf8(char *p, const char16_t *units, qsizetype count)
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
[[nodiscard]] inline bool isWritersUnicodeEscape(const uchar *p, const uchar *end)
{
    if (end - p < 6 || p[1] != 'u' || p[2] != '0' || p[3] != '0' || (p[4] != '0' && p[4] != '1'))
        return false;
    const uchar low = p[5];
    const int value = (p[4] - '0') << 4 | hexValue(low);
    return hexValue(low) >= 0 && !(low >= 'a' && low <= 'f') &&
           asciiOutputs[std::size_t(value)].length == 6;
}

} // namespace JsonText
