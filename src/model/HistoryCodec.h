#pragma once

#include "ClipboardItem.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// The one JSON format of the history file and of backups: a pretty-printed
// array of {"content", "createdAt", "id"} objects, keys sorted, `/` escaped
// as `\/`, dates RFC 3339 UTC in whole seconds, UUIDs upper case.
class HistoryCodec {
public:
    [[nodiscard]] static QByteArray encode(const QList<ClipboardItem> &items);

    // Whole-or-nothing: on success fills `items` (file order) and returns
    // true; on failure leaves `items` alone, sets `error` to a short human
    // description (which element, what is wrong) and returns false.
    [[nodiscard]] static bool decode(QByteArrayView json, QList<ClipboardItem> &items,
                                     QString &error);
};
