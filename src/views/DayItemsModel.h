// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ClipboardItem.h"

#include <QAbstractListModel>
#include <QList>

// The items shown for the selected day, newest first, as the browser's row
// delegate reads them. It holds copies (cheap: the texts are shared), so it
// does not depend on the store's row numbers moving. Each row also carries a
// key of its own for the delegate's per-row state: item ids cannot serve,
// since an imported history may hold two items with the same id.
class DayItemsModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit DayItemsModel(QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;

    [[nodiscard]] const QList<ClipboardItem> &items() const { return m_items; }
    [[nodiscard]] const ClipboardItem &itemAt(int row) const { return m_items.at(row); }
    // The row's count of text lines, up to PreviewText::mostLines: kept in a
    // flat list, as the delegate sizes every row of a day from them.
    [[nodiscard]] int lineCount(int row) const { return m_lineCounts.at(row); }
    // `lineCounts` (PreviewText::lineCountOf() of each item, up to
    // PreviewText::mostLines) when the caller knows them; else they are
    // counted here.
    void setItems(QList<ClipboardItem> items, QList<qint8> lineCounts = {});
    void prepend(const ClipboardItem &item);

private:
    QList<ClipboardItem> m_items;
    QList<quint64> m_keys;     // parallel to m_items
    QList<qint8> m_lineCounts; // parallel to m_items
    quint64 m_nextKey = 1;
};
