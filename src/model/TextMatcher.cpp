// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "TextMatcher.h"

#include <algorithm>

namespace {

char32_t foldCodePoint(char32_t c)
{
    // Lower case first, then case folding, which joins what lower case keeps
    // apart (ς and σ). İ lowers to i and a combining dot, one character
    // more: it folds to the i alone, as case folding leaves it untouched.
    if (c == U'\u0130')
        return U'i';
    const char32_t folded = QChar::toCaseFolded(QChar::toLower(c));
    return QChar::requiresSurrogates(folded) == QChar::requiresSurrogates(c) ? folded : c;
}

} // namespace

TextMatcher::TextMatcher(QStringView searchText) : m_query(fold(searchText.trimmed())) {}

namespace {

// Folds `text` from `from` on into `out`, which holds as many units as `text`.
void foldFrom(QStringView text, qsizetype from, QChar *out)
{
    const qsizetype size = text.size();
    const char16_t *in = text.utf16();
    for (qsizetype i = from; i < size; ++i) {
        const char16_t c = in[i];
        if (c < 0x80) {
            out[i] = QChar(c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(in[i + 1])) {
            const char32_t cp = foldCodePoint(QChar::surrogateToUcs4(c, in[i + 1]));
            out[i] = QChar(QChar::highSurrogate(cp));
            out[++i] = QChar(QChar::lowSurrogate(cp));
        } else if (QChar::isSurrogate(c)) {
            // A lone surrogate is not a character; as U+FFFD it compares the
            // same in UTF-16 and in UTF-8, where it becomes one anyway.
            out[i] = QChar(QChar::ReplacementCharacter);
        } else {
            out[i] = QChar(char16_t(foldCodePoint(c)));
        }
    }
}

// Where folding first changes `text`, or its size when it changes nothing.
qsizetype firstUnfolded(QStringView text)
{
    const qsizetype size = text.size();
    const char16_t *in = text.utf16();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = in[i];
        if (c < 0x80) {
            if (c >= u'A' && c <= u'Z')
                return i;
        } else if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(in[i + 1])) {
            const char32_t cp = QChar::surrogateToUcs4(c, in[i + 1]);
            if (foldCodePoint(cp) != cp)
                return i;
            ++i;
        } else if (QChar::isSurrogate(c) || foldCodePoint(c) != c) {
            return i;
        }
    }
    return size;
}

} // namespace

QString TextMatcher::fold(QStringView text)
{
    QString folded(text.size(), Qt::Uninitialized);
    foldFrom(text, 0, folded.data());
    return folded;
}

QByteArray TextMatcher::foldUtf8(QByteArrayView utf8)
{
    // A folded character can be shorter in UTF-8 (K, the Kelvin sign, is
    // three bytes and folds to one) or longer (Ⱦ, two bytes, folds to three).
    QByteArray folded(utf8.size() + utf8.size() / 2 + 4, Qt::Uninitialized);
    char *out = folded.data();
    char *const outBegin = out;
    const auto *in = reinterpret_cast<const unsigned char *>(utf8.data());
    const auto *const end = in + utf8.size();
    while (in < end) {
        const unsigned char b = *in;
        if (b < 0x80) {
            *out++ = char(b >= 'A' && b <= 'Z' ? b + ('a' - 'A') : b);
            ++in;
            continue;
        }
        char32_t c = 0;
        int length = 0;
        if (b < 0xE0) {
            c = b & 0x1F;
            length = 2;
        } else if (b < 0xF0) {
            c = b & 0x0F;
            length = 3;
        } else {
            c = b & 0x07;
            length = 4;
        }
        for (int i = 1; i < length && in + i < end; ++i)
            c = c << 6 | (in[i] & 0x3F);
        in += length;
        const char32_t f = foldCodePoint(c);
        if (f < 0x80) {
            *out++ = char(f);
        } else if (f < 0x800) {
            *out++ = char(0xC0 | (f >> 6));
            *out++ = char(0x80 | (f & 0x3F));
        } else if (f < 0x10000) {
            *out++ = char(0xE0 | (f >> 12));
            *out++ = char(0x80 | ((f >> 6) & 0x3F));
            *out++ = char(0x80 | (f & 0x3F));
        } else {
            *out++ = char(0xF0 | (f >> 18));
            *out++ = char(0x80 | ((f >> 12) & 0x3F));
            *out++ = char(0x80 | ((f >> 6) & 0x3F));
            *out++ = char(0x80 | (f & 0x3F));
        }
    }
    folded.truncate(out - outBegin);
    folded.squeeze(); // it is kept for every item of the history
    return folded;
}

qsizetype TextMatcher::foldedAsciiPrefix(QByteArrayView utf8)
{
    const auto *in = reinterpret_cast<const unsigned char *>(utf8.data());
    const qsizetype size = utf8.size();
    qsizetype i = 0;
    while (i < size && in[i] < 0x80 && !(in[i] >= 'A' && in[i] <= 'Z'))
        ++i;
    return i;
}

QByteArray TextMatcher::foldUtf8(const QByteArray &utf8)
{
    // Plain ASCII with capitals is folded byte by byte, without decoding.
    const qsizetype size = utf8.size();
    const qsizetype first = foldedAsciiPrefix(utf8);
    if (first == size)
        return utf8;
    const char *in = utf8.constData();
    QByteArray bytes(size, Qt::Uninitialized);
    char *out = bytes.data();
    std::copy_n(in, first, out);
    for (qsizetype i = first; i < size; ++i) {
        const auto c = static_cast<unsigned char>(in[i]);
        if (c >= 0x80)
            return foldUtf8(QByteArrayView(utf8));
        out[i] = char(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    }
    return bytes;
}

QString TextMatcher::fold(const QString &text)
{
    // Most copied text is folded already: share it instead of holding a
    // second copy as large as the text (a 100 MB item would cost 200 MB more).
    const qsizetype changed = firstUnfolded(text);
    if (changed == text.size())
        return text;
    QString folded(text.size(), Qt::Uninitialized);
    std::copy_n(text.constData(), changed, folded.data());
    foldFrom(text, changed, folded.data());
    return folded;
}

bool TextMatcher::matches(QStringView text) const
{
    return indexIn(text) >= 0;
}

bool TextMatcher::matchesFolded(QStringView foldedText) const
{
    return foldedText.contains(m_query);
}

template <typename OnMatch>
void TextMatcher::scan(QStringView text, qsizetype from, OnMatch onMatch) const
{
    // Long texts are folded a window at a time. Consecutive windows overlap
    // by the query's length less one, so no occurrence falls between them,
    // and never cut a surrogate pair, which would fold differently in halves.
    constexpr qsizetype windowSize = qsizetype(1) << 16;
    const qsizetype length = m_query.size();
    const auto splitsPair = [&](qsizetype at) {
        return at > 0 && at < text.size() && QChar::isHighSurrogate(text[at - 1].unicode()) &&
               QChar::isLowSurrogate(text[at].unicode());
    };
    while (from >= 0 && from + length <= text.size()) {
        const qsizetype begin = splitsPair(from) ? from - 1 : from;
        qsizetype end = std::min(text.size(), from + windowSize + length - 1);
        if (splitsPair(end))
            ++end;
        const QString folded = fold(text.sliced(begin, end - begin));
        qsizetype at = from - begin;
        for (qsizetype found; (found = folded.indexOf(m_query, at)) >= 0;) {
            if (!onMatch(begin + found))
                return;
            at = found + length;
        }
        if (end == text.size())
            return;
        from = std::max(end - length + 1, begin + at);
    }
}

QList<TextRange> TextMatcher::ranges(QStringView text, qsizetype from) const
{
    QList<TextRange> ranges;
    if (!m_query.isEmpty())
        scan(text, from, [&](qsizetype start) {
            ranges.append({start, m_query.size()});
            return true;
        });
    return ranges;
}

qsizetype TextMatcher::indexIn(QStringView text, qsizetype from) const
{
    if (m_query.isEmpty())
        return from >= 0 && from <= text.size() ? from : -1;
    qsizetype first = -1;
    scan(text, from, [&](qsizetype start) {
        first = start;
        return false;
    });
    return first;
}
