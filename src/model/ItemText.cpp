// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ItemText.h"

#include <algorithm>

namespace {

// QString::toUtf8() writes a lone surrogate as '?'; the file writes U+FFFD.
QByteArray toUtf8(QStringView text)
{
    if (text.isValidUtf16())
        return text.toUtf8();
    QString mended = text.toString();
    for (qsizetype i = 0; i < mended.size(); ++i) {
        const QChar c = mended.at(i);
        if (c.isHighSurrogate() && i + 1 < mended.size() && mended.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            mended[i] = QChar::ReplacementCharacter;
    }
    return mended.toUtf8();
}

bool isLeadByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

} // namespace

ItemText::ItemText(const QString &text) : ItemText(QStringView(text)) {}

ItemText::ItemText(QStringView text) : m_utf8(toUtf8(text)) {}

ItemText ItemText::fromUtf8(QByteArray utf8)
{
    ItemText text;
    text.m_utf8 = std::move(utf8);
    return text;
}

QString ItemText::left(qsizetype units) const
{
    // A code unit takes at most three bytes (a character of four bytes
    // makes two units), so that many bytes, up to the end of a character,
    // hold at least `units` code units.
    units = std::max<qsizetype>(units, 0);
    if (units >= m_utf8.size() / 3)
        return toString().left(units);
    qsizetype end = 3 * units;
    while (end < m_utf8.size() && !isLeadByte(m_utf8.at(end)))
        ++end;
    return QString::fromUtf8(m_utf8.constData(), end).left(units);
}

bool ItemText::isAscii() const
{
    return std::all_of(m_utf8.cbegin(), m_utf8.cend(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool ItemText::isBlank() const
{
    // Most texts show a character that is not a space in their first bytes;
    // only what follows white space up to the first non-ASCII byte is
    // converted to tell.
    for (qsizetype i = 0; i < m_utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(m_utf8.at(i));
        if (c >= 0x80)
            return QStringView(QString::fromUtf8(m_utf8.sliced(i))).trimmed().isEmpty();
        if (!QChar::isSpace(c))
            return false;
    }
    return true;
}
