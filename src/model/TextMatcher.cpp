// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "TextMatcher.h"

#include "CanonicalText.h"

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

TextMatcher::TextMatcher(QStringView searchText) : m_query(fold(searchText.trimmed()))
{
    // A query that starts with a mark would only ever match inside a
    // character: it matches nothing.
    m_startsUnit = m_query.isEmpty() || !CanonicalText::joinsPrevious(m_query.at(0).unicode());
}

namespace {

// Folds `text` from `from` on into `out`, which holds as many units as `text`.
// `recompose` becomes true when a folded code point may change once the
// text is composed.
void foldFrom(QStringView text, qsizetype from, QChar *out, bool &recompose)
{
    const qsizetype size = text.size();
    const char16_t *in = text.utf16();
    for (qsizetype i = from; i < size; ++i) {
        const char16_t c = in[i];
        if (c < 0x80) {
            out[i] = QChar(c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(in[i + 1])) {
            const char32_t cp = foldCodePoint(QChar::surrogateToUcs4(c, in[i + 1]));
            recompose = recompose || CanonicalText::mayRecompose(cp);
            out[i] = QChar(QChar::highSurrogate(cp));
            out[++i] = QChar(QChar::lowSurrogate(cp));
        } else if (QChar::isSurrogate(c)) {
            // A lone surrogate is not a character; as U+FFFD it compares the
            // same in UTF-16 and in UTF-8, where it becomes one anyway.
            out[i] = QChar(QChar::ReplacementCharacter);
        } else {
            const char32_t folded = foldCodePoint(c);
            recompose = recompose || CanonicalText::mayRecompose(folded);
            out[i] = QChar(char16_t(folded));
        }
    }
}

// Where folding (or composing) first changes `text`, or its size when it
// changes nothing.
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
            if (foldCodePoint(cp) != cp || CanonicalText::mayRecompose(cp))
                return i;
            ++i;
        } else if (QChar::isSurrogate(c) || foldCodePoint(c) != c ||
                   CanonicalText::mayRecompose(c)) {
            return i;
        }
    }
    return size;
}

// The code point at `at` of `text` (a lone surrogate as itself).
char32_t codePointAt(QStringView text, qsizetype at)
{
    const char16_t c = text[at].unicode();
    if (QChar::isHighSurrogate(c) && at + 1 < text.size() &&
        QChar::isLowSurrogate(text[at + 1].unicode()))
        return QChar::surrogateToUcs4(c, text[at + 1].unicode());
    return c;
}

bool insidePair(QStringView text, qsizetype at)
{
    return at > 0 && at < text.size() && QChar::isLowSurrogate(text[at].unicode()) &&
           QChar::isHighSurrogate(text[at - 1].unicode());
}

// Whether a character with its marks (a unit) can end at `at`: the end of
// `text`, or before a code point that does not join the one before it.
bool endsUnit(QStringView text, qsizetype at)
{
    return at >= text.size() || !CanonicalText::joinsPrevious(codePointAt(text, at));
}

// `at` moved back, or on, to where a unit starts.
qsizetype unitStart(QStringView text, qsizetype at)
{
    while (at > 0 && (insidePair(text, at) || !endsUnit(text, at)))
        --at;
    return at;
}

qsizetype unitEnd(QStringView text, qsizetype at)
{
    while (at < text.size() && (insidePair(text, at) || !endsUnit(text, at)))
        ++at;
    return at;
}

// A piece of text folded and composed for searching, and where each of its
// units came from where composing moved them.
struct FoldedPiece {
    QString text;
    QList<qsizetype> sources; // empty: every unit is where it was

    [[nodiscard]] qsizetype toSource(qsizetype at) const
    {
        return sources.isEmpty() ? at : sources[at];
    }
    [[nodiscard]] qsizetype fromSource(qsizetype at) const
    {
        return sources.isEmpty()
                   ? at
                   : std::lower_bound(sources.cbegin(), sources.cend(), at) - sources.cbegin();
    }
};

FoldedPiece foldPiece(QStringView piece)
{
    FoldedPiece result{QString(piece.size(), Qt::Uninitialized), {}};
    bool recompose = false;
    foldFrom(piece, 0, result.text.data(), recompose);
    if (!recompose)
        return result;
    // Composed unit by unit, each composed unit standing for the whole of
    // its source, so that a match maps back to whole characters.
    const QString folded = std::move(result.text);
    QString &out = result.text;
    out.reserve(folded.size());
    result.sources.reserve(folded.size() + 1);
    for (qsizetype start = 0; start < folded.size();) {
        qsizetype end = start + 1;
        if (insidePair(folded, end))
            ++end;
        bool changes = CanonicalText::mayRecompose(codePointAt(folded, start));
        for (; !endsUnit(folded, end); end += insidePair(folded, end + 1) ? 2 : 1)
            changes = true;
        if (changes) {
            const QString unit = CanonicalText::composed(folded.sliced(start, end - start));
            out += unit;
            result.sources.insert(result.sources.cend(), unit.size(), start);
        } else {
            out += QStringView(folded).sliced(start, end - start);
            for (qsizetype at = start; at < end; ++at)
                result.sources.append(at);
        }
        start = end;
    }
    result.sources.append(folded.size());
    return result;
}

} // namespace

QString TextMatcher::fold(QStringView text)
{
    return foldPiece(text).text;
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
    bool recompose = false;
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
        recompose = recompose || CanonicalText::mayRecompose(f);
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
    if (recompose)
        folded = CanonicalText::composed(QString::fromUtf8(folded)).toUtf8();
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
    bool recompose = false;
    foldFrom(text, changed, folded.data(), recompose);
    if (recompose) {
        folded = CanonicalText::composed(folded);
        if (folded == text) // marks that compose with nothing
            return text;
    }
    return folded;
}

bool TextMatcher::matches(QStringView text) const
{
    return indexIn(text) >= 0;
}

bool TextMatcher::containsWhole(QStringView foldedText, QStringView foldedQuery)
{
    if (foldedQuery.isEmpty())
        return true;
    if (CanonicalText::joinsPrevious(codePointAt(foldedQuery, 0)))
        return false;
    for (qsizetype found = 0; (found = foldedText.indexOf(foldedQuery, found)) >= 0; ++found)
        if (endsUnit(foldedText, found + foldedQuery.size()))
            return true;
    return false;
}

bool TextMatcher::matchesFolded(QStringView foldedText) const
{
    return containsWhole(foldedText, m_query);
}

template <typename OnMatch>
void TextMatcher::scan(QStringView text, qsizetype from, OnMatch onMatch) const
{
    if (!m_startsUnit)
        return;
    // Long texts are folded a window at a time. A window ends between two
    // units, and the next one starts where it stops (or after the last
    // match); occurrences that start in a window are found whole in it and
    // its overlap, which is wide enough for any occurrence: one folded
    // unit stands for at most four of the text (a syllable composed from
    // three jamo, a surrogate pair and its marks).
    constexpr qsizetype windowSize = qsizetype(1) << 16;
    const qsizetype length = m_query.size();
    const qsizetype size = text.size();
    while (from >= 0 && from < size) {
        const qsizetype begin = unitStart(text, from);
        const qsizetype limit = unitEnd(text, std::min(size, from + windowSize));
        const qsizetype end = unitEnd(text, std::min(size, limit + 4 * length));
        const FoldedPiece piece = foldPiece(text.sliced(begin, end - begin));
        qsizetype next = limit;
        for (qsizetype at = piece.fromSource(from - begin), found;
             (found = piece.text.indexOf(m_query, at)) >= 0;) {
            if (!endsUnit(piece.text, found + length)) {
                at = found + 1;
                continue;
            }
            const qsizetype start = begin + piece.toSource(found);
            if (end < size && start >= limit)
                break; // the next window's
            const qsizetype stop = begin + piece.toSource(found + length);
            if (!onMatch(start, stop - start))
                return;
            at = found + length;
            next = std::max(limit, stop);
        }
        if (end == size)
            return;
        from = next;
    }
}

QList<TextRange> TextMatcher::ranges(QStringView text, qsizetype from) const
{
    QList<TextRange> ranges;
    if (!m_query.isEmpty())
        scan(text, from, [&](qsizetype start, qsizetype length) {
            ranges.append({start, length});
            return true;
        });
    return ranges;
}

qsizetype TextMatcher::indexIn(QStringView text, qsizetype from) const
{
    if (m_query.isEmpty())
        return from >= 0 && from <= text.size() ? from : -1;
    qsizetype first = -1;
    scan(text, from, [&](qsizetype start, qsizetype) {
        first = start;
        return false;
    });
    return first;
}
