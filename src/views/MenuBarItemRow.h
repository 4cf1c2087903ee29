// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QFont>
#include <QStyledItemDelegate>

class Theme;

// Paints one row of the popover's list: the item's first line in a 12-point
// monospaced font with the search matches marked, the capture time below it,
// an accent-tinted rounded background while the pointer is over the row (or
// the keyboard is on it), and a divider under every row.
class MenuBarItemRow final : public QStyledItemDelegate {
    Q_OBJECT
public:
    MenuBarItemRow(const Theme &theme, QObject *parent = nullptr);

    // The part of `content` the row shows: its first line, at most a screen's
    // width of characters, so that huge items cost no more than small ones.
    [[nodiscard]] static QString displayedLine(const QString &content);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const override;

private:
    const Theme &m_theme;
    QFont m_textFont;
    QFont m_timeFont;
};
