// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ClipboardItem.h"

#include <algorithm>

namespace {

bool isAscii(const QString &s)
{
    return std::all_of(s.cbegin(), s.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

// A character that is a starter and has no decomposition is never touched
// by canonical decomposition or reordering, so the decomposition of a text
// is the decompositions of the pieces on either side of it, joined.
bool isDecompositionBoundary(char32_t ucs)
{
    return QChar::combiningClass(ucs) == 0 &&
           QChar::decompositionTag(ucs) == QChar::NoDecomposition;
}

// QString::normalized() slows down quadratically on long texts (megabytes
// of copied text took minutes), so long texts are decomposed piece by piece,
// each piece ending just before a boundary character.
QString decomposed(const QString &text)
{
    constexpr qsizetype pieceSize = 512;
    if (text.size() <= pieceSize)
        return text.normalized(QString::NormalizationForm_D);
    QString result;
    result.reserve(text.size() + text.size() / 8);
    const QStringView view(text);
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = std::min(start + pieceSize, text.size());
        while (end < text.size()) {
            const QChar c = text.at(end);
            if (c.isLowSurrogate()) {
                ++end;
                continue;
            }
            char32_t ucs = c.unicode();
            if (c.isHighSurrogate() && end + 1 < text.size() && text.at(end + 1).isLowSurrogate())
                ucs = QChar::surrogateToUcs4(c, text.at(end + 1));
            if (isDecompositionBoundary(ucs))
                break;
            ++end;
        }
        result +=
            view.sliced(start, end - start).toString().normalized(QString::NormalizationForm_D);
        start = end;
    }
    return result;
}

} // namespace

bool canonicallyEqual(const QString &a, const QString &b)
{
    if (a == b)
        return true;
    // Two different texts in plain ASCII have no other canonical spelling.
    if (isAscii(a) && isAscii(b))
        return false;
    return decomposed(a) == decomposed(b);
}

bool canonicallyEqual(const ItemText &a, const ItemText &b)
{
    if (a == b)
        return true;
    if (a.isAscii() && b.isAscii())
        return false;
    return decomposed(a.toString()) == decomposed(b.toString());
}

bool operator==(const ClipboardItem &a, const ClipboardItem &b)
{
    return a.id == b.id && canonicallyEqual(a.content, b.content) && a.createdAt == b.createdAt;
}

size_t qHash(const ClipboardItem &item, size_t seed) noexcept
{
    // Hash the decomposed form so that canonically equal contents hash alike.
    const size_t contentHash = item.content.isAscii() ? qHash(item.content.toString())
                                                      : qHash(decomposed(item.content.toString()));
    return qHashMulti(seed, item.id, contentHash, item.createdAt);
}
