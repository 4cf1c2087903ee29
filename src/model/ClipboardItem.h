// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ItemText.h"

#include <QDateTime>
#include <QHashFunctions>
#include <QString>
#include <QUuid>

// One captured piece of plain text. Lists identify an item by `id` alone;
// equality and hashing cover all three fields, in declaration order.
struct ClipboardItem {
    QUuid id;
    ItemText content;    // exactly as read from the clipboard, never trimmed
    QDateTime createdAt; // UTC; milliseconds in memory, whole seconds on disk

    // Content compares by Unicode canonical equivalence, case-sensitively.
    friend bool operator==(const ClipboardItem &a, const ClipboardItem &b);
    friend bool operator!=(const ClipboardItem &a, const ClipboardItem &b) { return !(a == b); }
};

// Every member may be moved bytewise, so a growing list of a hundred
// thousand items is reallocated instead of moved item by item.
Q_DECLARE_TYPEINFO(ClipboardItem, Q_RELOCATABLE_TYPE);

size_t qHash(const ClipboardItem &item, size_t seed = 0) noexcept;

// Plain-text equality under Unicode canonical equivalence (NFD forms equal),
// with a fast path for the common case of identical code units.
[[nodiscard]] bool canonicallyEqual(const QString &a, const QString &b);
[[nodiscard]] bool canonicallyEqual(const ItemText &a, const ItemText &b);
