// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

// libFuzzer target for the streamed history writer: for items made from
// arbitrary bytes (any text, any instant, any id), the pieces handed to the
// sink must join to exactly the bytes of the one-shot encoding, a sink that
// stops must stop the writer at once, and what is written must read back.
#include "HistoryCodec.h"

#include <QCryptographicHash>
#include <QUuid>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

// Items from the input: each NUL-separated piece is one text (as UTF-8, so
// broken sequences become U+FFFD, and as Latin-1 for every 16-bit value
// below 256); its id and instant are derived from its bytes.
QList<ClipboardItem> itemsFrom(QByteArrayView input)
{
    QList<ClipboardItem> items;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= input.size(); ++i) {
        if (i < input.size() && input[i] != '\0')
            continue;
        const QByteArrayView piece = input.sliced(start, i - start);
        const QByteArray hash = QCryptographicHash::hash(piece, QCryptographicHash::Sha256);
        qint64 msecs = 0;
        std::memcpy(&msecs, hash.constData() + 16, sizeof msecs);
        // Any instant from year 1 to 9999, milliseconds included.
        msecs = -62135596800000LL + qint64(quint64(msecs) % 315537897600000ULL);
        const QString content =
            (items.size() % 2 == 0) ? QString::fromUtf8(piece) : QString::fromLatin1(piece);
        items.append(ClipboardItem{QUuid::fromRfc4122(QByteArrayView(hash.constData(), 16)),
                                   content, QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC)});
        start = i + 1;
    }
    return items;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<ClipboardItem> items = itemsFrom(input);
    const QByteArray whole = HistoryCodec::encode(items);

    QByteArray joined;
    int pieces = 0;
    check(HistoryCodec::encode(items,
                               [&](QByteArrayView piece) {
                                   joined.append(piece);
                                   ++pieces;
                                   return true;
                               }),
          "the writer failed with a willing sink");
    check(joined == whole, "streamed bytes differ from the one-shot encoding");

    // A sink that refuses the first piece ends the writing there.
    int offered = 0;
    check(!HistoryCodec::encode(items,
                                [&](QByteArrayView) {
                                    ++offered;
                                    return false;
                                }),
          "the writer succeeded although the sink refused");
    check(offered == 1, "the writer went on after the sink refused");

    QList<ClipboardItem> back;
    QString error;
    check(HistoryCodec::decode(whole, back, error), "cannot read what was written");
    check(back.size() == items.size(), "read back a different count");
    for (qsizetype i = 0; i < items.size(); ++i) {
        check(back[i].id == items[i].id, "read back a different id");
        check(back[i].content == items[i].content, "read back a different text");
    }
    return 0;
}
