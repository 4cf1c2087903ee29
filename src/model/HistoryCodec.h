// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ClipboardItem.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>
#include <string_view>

// The one JSON format of the history file and of backups: a pretty-printed
// array of {"content", "createdAt", "id"} objects, keys sorted, `/` escaped
// as `\/`, dates RFC 3339 UTC in whole seconds, UUIDs upper case.
class HistoryCodec {
public:
    // Receives the encoded bytes piece by piece; returns false to stop.
    using Sink = std::function<bool(QByteArrayView)>;

    [[nodiscard]] static QByteArray encode(const QList<ClipboardItem> &items);
    // The same bytes, handed to `sink` in pieces of about a megabyte as they
    // are made, so that a large history is never held a second time in
    // memory. Returns false, having stopped, as soon as `sink` does.
    // With `elementEnds`, it also receives the byte offset at which each
    // element ends (just after its closing brace).
    [[nodiscard]] static bool encode(const QList<ClipboardItem> &items, const Sink &sink,
                                     QList<qint64> *elementEnds = nullptr);

    // The pieces a file is made of, for a writer that assembles one from
    // elements encoded earlier: arrayStart, the elements joined by
    // separator, arrayEnd; or emptyArray. Joined, they are exactly the
    // bytes of encode().
    static constexpr std::string_view emptyArray = "[]";
    static constexpr std::string_view arrayStart = "[\n";
    static constexpr std::string_view separator = ",\n";
    static constexpr std::string_view arrayEnd = "\n]";
    // One element, from the indentation before its "{" to its "}", piece by
    // piece (a huge text is never held encoded whole).
    [[nodiscard]] static bool encodeElement(const ClipboardItem &item, const Sink &sink);

    // Whole-or-nothing: on success fills `items` (file order) and returns
    // true; on failure leaves `items` alone, sets `error` to a short human
    // description (which element, what is wrong) and returns false.
    [[nodiscard]] static bool decode(QByteArrayView json, QList<ClipboardItem> &items,
                                     QString &error);
    // Called now and then with how many bytes of the input the reader is
    // done with: it never looks at them again, so their memory may be given
    // back while a big file is still being read.
    using Consumed = std::function<void(qsizetype)>;
    // What a reader that keeps the file learns beside the items.
    struct Layout {
        // The input is byte for byte what encode() makes of the decoded
        // items: writing them back would change nothing.
        bool canonical = false;
        // Only when canonical: where each element ends, as encode() reports.
        QList<qint64> elementEnds;
    };
    [[nodiscard]] static bool decode(QByteArrayView json, QList<ClipboardItem> &items,
                                     QString &error, const Consumed &consumed,
                                     Layout *layout = nullptr);
};
