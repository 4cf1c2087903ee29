#include "DayItemsModel.h"

#include "ClipboardHistoryRow.h"

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
    case ClipboardHistoryRow::IdRole:
        return item.id;
    case Qt::DisplayRole:
    case ClipboardHistoryRow::ContentRole:
        return item.content;
    case ClipboardHistoryRow::CreatedAtRole:
        return item.createdAt;
    default:
        return {};
    }
}

void DayItemsModel::setItems(QList<ClipboardItem> items)
{
    beginResetModel();
    m_items = std::move(items);
    endResetModel();
}

void DayItemsModel::prepend(const ClipboardItem &item)
{
    beginInsertRows({}, 0, 0);
    m_items.prepend(item);
    endInsertRows();
}
