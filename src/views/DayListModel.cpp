// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "DayListModel.h"

#include "HistoryIndex.h"
#include "HistorySearch.h"

#include <algorithm>

DayListModel::DayListModel(const HistoryIndex &index, QObject *parent)
    : QAbstractListModel(parent), m_index(index)
{
}

int DayListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_days.size());
}

QVariant DayListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const QDate day = m_days.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return HistorySearch::dayTitle(day);
    case DateRole:
        return day;
    case CountTextRole:
        return itemCountText(m_index.itemCount(day));
    case Qt::AccessibleTextRole:
        return HistorySearch::dayTitle(day) + QStringLiteral(", ") +
               itemCountText(m_index.itemCount(day));
    default:
        return {};
    }
}

int DayListModel::rowOf(QDate day) const
{
    const auto it = std::lower_bound(m_days.cbegin(), m_days.cend(), day, std::greater<>());
    return it != m_days.cend() && *it == day ? int(it - m_days.cbegin()) : -1;
}

void DayListModel::setDays(const QList<QDate> &days)
{
    // Both lists are sorted newest first: drop what went, then insert what
    // came, each as contiguous runs.
    for (int row = int(m_days.size()) - 1; row >= 0;) {
        if (std::binary_search(days.cbegin(), days.cend(), m_days.at(row), std::greater<>())) {
            --row;
            continue;
        }
        int first = row;
        while (first > 0 && !std::binary_search(days.cbegin(), days.cend(), m_days.at(first - 1),
                                                std::greater<>()))
            --first;
        beginRemoveRows({}, first, row);
        m_days.remove(first, row - first + 1);
        endRemoveRows();
        row = first - 1;
    }
    for (int row = 0; row < days.size();) {
        if (row < m_days.size() && m_days.at(row) == days.at(row)) {
            ++row;
            continue;
        }
        int last = row;
        const QDate next = row < m_days.size() ? m_days.at(row) : QDate();
        while (last + 1 < days.size() && days.at(last + 1) != next)
            ++last;
        beginInsertRows({}, row, last);
        m_days.insert(row, last - row + 1, QDate());
        std::copy(days.cbegin() + row, days.cbegin() + last + 1, m_days.begin() + row);
        endInsertRows();
        row = last + 1;
    }
}

void DayListModel::countChanged(QDate day)
{
    const int row = rowOf(day);
    if (row >= 0)
        Q_EMIT dataChanged(index(row), index(row), {CountTextRole});
}

QString DayListModel::itemCountText(int count)
{
    return QStringLiteral("%1 item%2").arg(count).arg(count == 1 ? QString() : QStringLiteral("s"));
}
