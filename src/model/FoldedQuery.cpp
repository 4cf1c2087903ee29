// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FoldedQuery.h"

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

} // namespace

FoldedQuery::FoldedQuery(const TextMatcher &matcher) : FoldedQuery(matcher.query().toUtf8()) {}

FoldedQuery::FoldedQuery(QByteArrayView foldedUtf8) : m_query(foldedUtf8.toByteArray())
{
    const qsizetype last = m_query.size() - 1;
    m_skip.fill(std::max<qsizetype>(m_query.size(), 1));
    for (qsizetype i = 0; i < last; ++i)
        m_skip[static_cast<unsigned char>(m_query[i])] = last - i;
}

bool FoldedQuery::isIn(QByteArrayView foldedText) const
{
    const qsizetype size = m_query.size();
    if (size == 0)
        return true;
    const char *hay = foldedText.data();
    const qsizetype length = foldedText.size();
    if (size == 1)
        return length > 0 && std::memchr(hay, m_query[0], size_t(length)) != nullptr;
    const char *needle = m_query.constData();
    const qsizetype last = size - 1;
    const char lastByte = needle[last];
    for (qsizetype pos = 0; pos + size <= length;) {
        const char c = hay[pos + last];
        if (c == lastByte && std::memcmp(hay + pos, needle, size_t(last)) == 0)
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
    // three bytes, folds to k), so an occurrence spans at most three times
    // the query's bytes of the text. Windows overlap by that much: each
    // occurrence lies whole in the window where it starts.
    const qsizetype overlap = 3 * m_query.size();
    const qsizetype size = utf8.size();
    for (qsizetype begin = 0; begin < size;) {
        const qsizetype next = characterStart(utf8, std::min(size, begin + kFoldWindow));
        const qsizetype end = characterStart(utf8, std::min(size, next + overlap));
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
