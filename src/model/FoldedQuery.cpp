// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FoldedQuery.h"

#include "CanonicalText.h"
#include "TextMatcher.h"

#include <algorithm>
#include <cstring>

namespace {

// Texts longer than this are folded a window of this many bytes at a time.
constexpr qsizetype kFoldWindow = qsizetype(1) << 16;

// `at`, or the start of the first character after it.
qsizetype characterStart(QByteArrayView utf8, qsizetype at)
{
    while (at < utf8.size() && (static_cast<unsigned char>(utf8[at]) & 0xC0) == 0x80)
        ++at;
    return at;
}

// The code point that starts at `at` of well-formed UTF-8.
char32_t codePointAt(const char *utf8, qsizetype size, qsizetype at)
{
    const auto *in = reinterpret_cast<const unsigned char *>(utf8) + at;
    const unsigned char b = in[0];
    if (b < 0x80)
        return b;
    const int length = b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    char32_t c = b & (0x7F >> length);
    for (int i = 1; i < length && at + i < size; ++i)
        c = c << 6 | (in[i] & 0x3F);
    return c;
}

// Whether a match can end at `at` (a character start): the end of the
// text, or before a code point that does not join the one before it. Bytes
// below 0xCC start characters below U+0300, none of which joins.
bool endsUnit(const char *utf8, qsizetype size, qsizetype at)
{
    return at >= size || static_cast<unsigned char>(utf8[at]) < 0xCC ||
           !CanonicalText::joinsPrevious(codePointAt(utf8, size, at));
}

// `at`, or the start of the first character after it that starts a unit
// (a character with its marks).
qsizetype unitStart(QByteArrayView utf8, qsizetype at)
{
    at = characterStart(utf8, at);
    while (!endsUnit(utf8.data(), utf8.size(), at))
        at = characterStart(utf8, at + 1);
    return at;
}

} // namespace

FoldedQuery::FoldedQuery(const TextMatcher &matcher) : FoldedQuery(matcher.query().toUtf8()) {}

FoldedQuery::FoldedQuery(QByteArrayView foldedUtf8) : m_query(foldedUtf8.toByteArray())
{
    const qsizetype last = m_query.size() - 1;
    m_skip.fill(std::max<qsizetype>(m_query.size(), 1));
    for (qsizetype i = 0; i < last; ++i)
        m_skip[static_cast<unsigned char>(m_query[i])] = last - i;
    m_startsUnit = m_query.isEmpty() || endsUnit(m_query.constData(), m_query.size(), 0);
}

bool FoldedQuery::isIn(QByteArrayView foldedText) const
{
    const qsizetype size = m_query.size();
    if (size == 0)
        return true;
    if (!m_startsUnit)
        return false;
    const char *hay = foldedText.data();
    const qsizetype length = foldedText.size();
    if (size == 1) {
        for (const char *at = hay; at < hay + length; ++at) {
            at = static_cast<const char *>(std::memchr(at, m_query[0], size_t(hay + length - at)));
            if (!at)
                return false;
            if (endsUnit(hay, length, at - hay + 1))
                return true;
        }
        return false;
    }
    const char *needle = m_query.constData();
    const qsizetype last = size - 1;
    const char lastByte = needle[last];
    for (qsizetype pos = 0; pos + size <= length;) {
        const char c = hay[pos + last];
        if (c == lastByte && std::memcmp(hay + pos, needle, size_t(last)) == 0 &&
            endsUnit(hay, length, pos + size))
            return true;
        pos += m_skip[static_cast<unsigned char>(c)];
    }
    return false;
}

bool FoldedQuery::isInUnfolded(QByteArrayView utf8) const
{
    if (m_query.isEmpty())
        return true;
    // A character folds to at least a third of its bytes (the Kelvin sign,
    // three bytes, folds to k), and a character with its marks composes to
    // no less than a fourth, so an occurrence spans at most four times the
    // query's bytes of the text. Windows overlap by that much and end
    // between characters with their marks: each occurrence lies whole in
    // the window where it starts.
    const qsizetype overlap = 4 * m_query.size();
    const qsizetype size = utf8.size();
    for (qsizetype begin = 0; begin < size;) {
        const qsizetype next = unitStart(utf8, std::min(size, begin + kFoldWindow));
        const qsizetype end = unitStart(utf8, std::min(size, next + overlap));
        const QByteArrayView window = utf8.sliced(begin, end - begin);
        const bool found = TextMatcher::foldedAsciiPrefix(window) == window.size()
                               ? isIn(window)
                               : isIn(TextMatcher::foldUtf8(window));
        if (found)
            return true;
        if (end == size)
            break;
        begin = next;
    }
    return false;
}
