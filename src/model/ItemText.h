// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

// The text of a clipboard item, held as UTF-8. A history of a hundred
// thousand items mostly sits in memory unseen: held as UTF-16 its texts
// would take about twice the room, and the file codec reads and writes
// UTF-8 anyway. Views convert what they show (a hundred rows, one day) on
// demand. Implicitly shared, like the Qt containers it wraps.
//
// A lone surrogate, which UTF-8 cannot carry, becomes U+FFFD on the way in:
// the same text the history file would give back.
class ItemText {
public:
    ItemText() = default;
    // Implicit: an item is made from the text the clipboard gave.
    ItemText(const QString &text); // NOLINT(google-explicit-constructor)
    ItemText(QStringView text);    // NOLINT(google-explicit-constructor)
    // `utf8` must be well-formed UTF-8 (the file reader checks it).
    [[nodiscard]] static ItemText fromUtf8(QByteArray utf8);

    [[nodiscard]] QString toString() const { return QString::fromUtf8(m_utf8); }
    // The first `units` UTF-16 code units or fewer (a character is never
    // split), at a cost bounded by `units` however long the text is.
    [[nodiscard]] QString left(qsizetype units) const;
    [[nodiscard]] const QByteArray &utf8() const { return m_utf8; }
    [[nodiscard]] qsizetype utf8Size() const { return m_utf8.size(); }
    [[nodiscard]] bool isEmpty() const { return m_utf8.isEmpty(); }
    [[nodiscard]] bool isAscii() const;
    // Nothing but white space and newlines (QChar::isSpace), or empty.
    [[nodiscard]] bool isBlank() const;
    // Whether both hold the same buffer (a cheap "known equal").
    [[nodiscard]] bool isSharedWith(const ItemText &other) const
    {
        return m_utf8.constData() == other.m_utf8.constData() &&
               m_utf8.size() == other.m_utf8.size();
    }

    // Exact equality of the text (not canonical equivalence).
    friend bool operator==(const ItemText &a, const ItemText &b) { return a.m_utf8 == b.m_utf8; }
    friend bool operator!=(const ItemText &a, const ItemText &b) { return !(a == b); }

private:
    QByteArray m_utf8;
};
Q_DECLARE_TYPEINFO(ItemText, Q_RELOCATABLE_TYPE);
