#pragma once

#include "Appearance.h"

#include <QFont>
#include <QStyledItemDelegate>

// Paints one row of the popover's list: the item's first line in a 12-point
// monospaced font with the search matches marked, the capture time below it,
// an accent-tinted rounded background while the pointer is over the row (or
// the keyboard is on it), and a divider under every row.
class MenuBarItemRow final : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit MenuBarItemRow(QObject *parent = nullptr);

    void setAccentColor(const QColor &color) { m_accentColor = color; }
    void setColorScheme(ColorScheme scheme) { m_scheme = scheme; }

    // The hover fill: the accent at 0.2 on dark, 0.12 on light.
    [[nodiscard]] static QColor hoverBackground(const QColor &accent, ColorScheme scheme);
    // The part of `content` the row shows: its first line, at most a screen's
    // width of characters, so that huge items cost no more than small ones.
    [[nodiscard]] static QString displayedLine(const QString &content);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const override;

private:
    QFont m_textFont;
    QFont m_timeFont;
    QColor m_accentColor;
    ColorScheme m_scheme = ColorScheme::light;
};
