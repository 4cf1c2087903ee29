// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAbstractListModel>
#include <QDate>
#include <QList>

class HistoryIndex;

// The days listed in the browser's sidebar, newest first, with the number
// of items each holds (whatever the search). setDays() applies only the
// difference to the current list, so views keep their selection and a new
// day is one inserted row.
class DayListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { DateRole = Qt::UserRole + 1, CountTextRole };

    explicit DayListModel(const HistoryIndex &index, QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;

    [[nodiscard]] const QList<QDate> &days() const { return m_days; }
    [[nodiscard]] int rowOf(QDate day) const;
    // `days` must be newest first.
    void setDays(const QList<QDate> &days);
    // The item count of `day` changed.
    void countChanged(QDate day);

    // "0 items", "1 item", "2 items".
    [[nodiscard]] static QString itemCountText(int count);

private:
    const HistoryIndex &m_index;
    QList<QDate> m_days;
};
