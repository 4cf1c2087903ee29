// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringView>

#include <atomic>

// Canonical equivalence for the search rule. Unicode counts "é" as one code
// point and "e" followed by a combining acute as the same text; searching
// compares texts in their composed form (NFC), so either finds the other.
// Composing changes a text only where it holds one of a few code points
// (combining marks, the later parts of Hangul syllables, letters that never
// stand composed), so a glance at each code point tells whether a text
// needs it at all; most copied text does not.
//
// A character and the marks that follow it are one unit for the search: a
// match never ends just before a code point that joins the one before it,
// so that no mark is left out of a highlight (or cut off a letter).
class CanonicalText {
public:
    // Whether composing can change a text that holds `c`.
    [[nodiscard]] static bool mayRecompose(char32_t c)
    {
        return c >= kFirst && (flags(c) & kRecomposes);
    }
    // Whether `c` belongs with the code point before it: a combining mark,
    // or a letter part that composes with what precedes it.
    [[nodiscard]] static bool joinsPrevious(char32_t c)
    {
        return c >= kFirst && (flags(c) & kJoinsPrevious);
    }

    // `text` in its composed form (NFC).
    [[nodiscard]] static QString composed(const QString &text);

private:
    // No code point below this one joins its predecessor or changes when
    // composed, and none from kTableEnd on (the CJK compatibility
    // ideographs end at U+2FA1D).
    static constexpr char32_t kFirst = 0x300;
    static constexpr char32_t kTableEnd = 0x30000;
    static constexpr unsigned char kRecomposes = 1;
    static constexpr unsigned char kJoinsPrevious = 2;

    // Inline, as folding asks about every code point from U+0300 on
    // (arrows, dashes, Cyrillic, CJK): a call per character cost 9% on a
    // long text with an arrow in each line.
    [[nodiscard]] static unsigned char flags(char32_t c)
    {
        const unsigned char *table = s_table.load(std::memory_order_acquire);
        if (!table)
            table = buildTable();
        return c < kTableEnd ? table[c] : 0;
    }
    [[nodiscard]] static const unsigned char *buildTable();

    static inline std::atomic<const unsigned char *> s_table{nullptr};
};
