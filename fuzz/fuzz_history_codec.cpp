// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

// libFuzzer target for the history file reader. Besides "never crash", it
// checks the reader against simdjson's strict parser and the writer:
//  - what the reader accepts is valid JSON, and valid JSON is only ever
//    refused for its shape, never as malformed;
//  - whatever it accepts encodes to a file that decodes to the same items
//    (in whole seconds) and encodes to the same bytes again;
//  - a reader that notes the layout accepts the same, and finds the input
//    in the written form exactly when it is what the writer makes of the
//    items, with the element ends the writer reports.
#include "HistoryCodec.h"

#include <simdjson.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

QDateTime wholeSeconds(const QDateTime &t)
{
    const qint64 ms = t.toMSecsSinceEpoch();
    return QDateTime::fromMSecsSinceEpoch(ms - ((ms % 1000) + 1000) % 1000, Qt::UTC);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView json(reinterpret_cast<const char *>(data), qsizetype(size));
    QList<ClipboardItem> items;
    QString error;
    const bool decoded = HistoryCodec::decode(json, items, error);
    check(decoded || !error.isEmpty(), "a failure without a description");
    QList<ClipboardItem> kept;
    QString keptError;
    HistoryCodec::Layout layout;
    check(HistoryCodec::decode(json, kept, keptError, {}, &layout) == decoded &&
              kept.size() == items.size() && keptError == error,
          "noting the layout changed what is read");

    QByteArrayView plain = json;
    if (plain.startsWith("\xEF\xBB\xBF"))
        plain = plain.sliced(3);
    simdjson::dom::parser parser;
    simdjson::dom::element root;
    const simdjson::error_code code =
        parser.parse(plain.data(), std::size_t(plain.size())).get(root);
    // simdjson nests only 1024 deep, refuses lone surrogate escapes (which
    // the reader turns into U+FFFD) and numbers it cannot hold (JSON sets no
    // limit). Qt's parser is no judge of those numbers either: it takes some
    // that JSON does not allow, such as "-0.". Such inputs are left unjudged
    // (the round trip below still runs).
    const bool comparable = code != simdjson::DEPTH_ERROR && code != simdjson::STRING_ERROR &&
                            code != simdjson::NUMBER_ERROR && code != simdjson::NUMBER_OUT_OF_RANGE;
    const bool valid = code == simdjson::SUCCESS;

    if (decoded) {
        check(!comparable || valid, "accepted malformed JSON");
        const QByteArray encoded = HistoryCodec::encode(items);
        QList<ClipboardItem> again;
        QString againError;
        check(HistoryCodec::decode(encoded, again, againError), "cannot read what was written");
        check(again.size() == items.size(), "round trip changed the count");
        for (qsizetype i = 0; i < items.size(); ++i) {
            check(again[i].id == items[i].id, "round trip changed an id");
            check(again[i].content == items[i].content, "round trip changed a content");
            check(again[i].createdAt == wholeSeconds(items[i].createdAt) ||
                      items[i].createdAt.date().year() < 0 ||
                      items[i].createdAt.date().year() > 9999,
                  "round trip changed a date");
        }
        check(HistoryCodec::encode(again) == encoded, "writing is not stable");

        QList<qint64> ends;
        const bool written = HistoryCodec::encode(
            items, [](QByteArrayView) { return true; }, &ends);
        check(written && layout.canonical == (json == QByteArrayView(encoded)),
              "wrong written form");
        check(!layout.canonical || layout.elementEnds == ends, "wrong element ends");
    } else if (comparable && valid) {
        check(!error.startsWith(QLatin1String("malformed JSON")) &&
                  !error.startsWith(QLatin1String("not valid UTF-8")) &&
                  !error.startsWith(QLatin1String("the file is empty")),
              "refused valid JSON as malformed");
    }
    return 0;
}
