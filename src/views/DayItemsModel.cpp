// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "DayItemsModel.h"

#include "ClipboardHistoryRow.h"
#include "DateFormatter.h"
#include "PreviewText.h"

DayItemsModel::DayItemsModel(QObject *parent) : QAbstractListModel(parent) {}

int DayItemsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant DayItemsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const ClipboardItem &item = m_items.at(index.row());
    switch (role) {
    case ClipboardHistoryRow::RowKeyRole:
        return m_keys.at(index.row());
    case Qt::DisplayRole:
        return item.content.left(500);
    case ClipboardHistoryRow::ContentRole:
        return QVariant::fromValue(item.content);
    case ClipboardHistoryRow::CreatedAtRole:
        return item.createdAt;
    case Qt::AccessibleTextRole:
        return PreviewText::spoken(item.content, timestampFormatter().format(item.createdAt));
    default:
        return {};
    }
}

void DayItemsModel::setItems(QList<ClipboardItem> items, QList<qint8> lineCounts)
{
    Q_ASSERT(lineCounts.isEmpty() || lineCounts.size() == items.size());
    beginResetModel();
    m_items = std::move(items);
    m_keys.resize(m_items.size());
    for (quint64 &key : m_keys)
        key = m_nextKey++;
    m_lineCounts = std::move(lineCounts);
    if (m_lineCounts.isEmpty()) {
        m_lineCounts.reserve(m_items.size());
        for (const ClipboardItem &item : std::as_const(m_items))
            m_lineCounts.append(
                qint8(PreviewText::lineCountOf(item.content, PreviewText::mostLines)));
    }
    endResetModel();
}

void DayItemsModel::prepend(const ClipboardItem &item)
{
    beginInsertRows({}, 0, 0);
    m_items.prepend(item);
    m_keys.prepend(m_nextKey++);
    m_lineCounts.prepend(qint8(PreviewText::lineCountOf(item.content, PreviewText::mostLines)));
    endInsertRows();
}
