// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "CanonicalText.h"

#include <QList>

#include <vector>

const unsigned char *CanonicalText::buildTable()
{
    // Built from Qt's Unicode tables on first use (a few milliseconds): one
    // byte per code point up to kTableEnd.
    static const std::vector<unsigned char> table = [] {
        std::vector<unsigned char> t(kTableEnd, 0);
        const auto mark = [&t](char32_t code, unsigned char bits) {
            if (code < kTableEnd)
                t[code] |= bits;
        };
        for (char32_t code = kFirst; code < kTableEnd; ++code) {
            if (QChar::isSurrogate(code))
                continue;
            if (QChar::combiningClass(code) != 0)
                mark(code, kRecomposes | kJoinsPrevious);
            if (QChar::decompositionTag(code) != QChar::Canonical ||
                (code >= 0xAC00 && code <= 0xD7A3)) // Hangul syllables stay composed
                continue;
            const QList<uint> parts = QChar::decomposition(code).toUcs4();
            // A letter that comes apart into marks.
            if (!parts.isEmpty() && QChar::combiningClass(parts[0]) != 0)
                mark(code, kRecomposes | kJoinsPrevious);
            // A starter that composes with the one before it.
            if (parts.size() == 2 && QChar::combiningClass(parts[1]) == 0)
                mark(parts[1], kRecomposes | kJoinsPrevious);
            // Letters that never stand composed: singletons, exclusions.
            const QString alone = QString::fromUcs4(&code, 1);
            if (alone.normalized(QString::NormalizationForm_C) != alone)
                mark(code, kRecomposes);
        }
        // The vowels and final consonants of Hangul syllables.
        for (char32_t code = 0x1161; code <= 0x1175; ++code)
            mark(code, kRecomposes | kJoinsPrevious);
        for (char32_t code = 0x11A8; code <= 0x11C2; ++code)
            mark(code, kRecomposes | kJoinsPrevious);
        return t;
    }();
    s_table.store(table.data(), std::memory_order_release);
    return table.data();
}

QString CanonicalText::composed(const QString &text)
{
    return text.normalized(QString::NormalizationForm_C);
}
