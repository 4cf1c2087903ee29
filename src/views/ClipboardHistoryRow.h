// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ClipboardItem.h"
#include "ItemText.h"
#include "PreviewText.h"

#include <QCache>
#include <QElapsedTimer>
#include <QHash>
#include <QPersistentModelIndex>
#include <QStyledItemDelegate>
#include <QTimer>

class DayItemsModel;
class QAbstractItemView;
class QDateTime;
class Theme;

// One history item in the browser's list, painted (no widget per row): the
// item text in a monospaced font limited to a few lines with its search
// matches marked, a "Copy" button on the right and the capture time below.
// Only the rows painted are laid out: until then a row's height follows
// from its text's count of line breaks (PreviewText), which the model keeps
// in a flat list, so the list sizes a day of thousands of rows without
// laying out any text or reading any item. A row painted taller (a line
// wraps) or shorter has the list size its rows again.
// Hovering fades in an accent-tinted background, repainting only the rows
// that fade; the item under a resting pointer stays hovered when the list
// is made again (a keystroke in the search). A click on the button asks for a copy, a double click
// elsewhere on the row asks to open it, and a single click there does
// nothing.
//
// The model is a DayItemsModel; it also supplies the item through the roles
// below: ContentRole holds its ItemText, of which a row converts only what
// it can show. RowKeyRole is a number unique to the row while the model is
// not reset, which keys the hover and the laid-out text of rows on screen.
// Painted heights are kept by item text, across resets: a search or another
// day shows the same items again.
class ClipboardHistoryRow : public QStyledItemDelegate {
    Q_OBJECT
public:
    enum Role { RowKeyRole = Qt::UserRole + 1, ContentRole, CreatedAtRole };

    // Install after giving `view` its model, a DayItemsModel. Colours and
    // the item text size follow `theme`.
    ClipboardHistoryRow(QAbstractItemView *view, const Theme &theme);

    void setQuery(const QString &query);
    void setPreviewLines(int lines);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const override;

    // Geometry of a row laid out in `rect` (the index's visual rect): the
    // rounded, hoverable body and the copy button.
    [[nodiscard]] QRectF bodyRect(const QRectF &rect) const;
    [[nodiscard]] QRectF copyButtonRect(const QRectF &rect) const;
    // How far the hover background of the row with `key` has faded in (0..1).
    [[nodiscard]] qreal hoverLevel(quint64 key) const;

Q_SIGNALS:
    void copyRequested(const QModelIndex &index);
    void openRequested(const QModelIndex &index);

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Fade {
        qreal progress = 0; // linear time progress, eased when drawn
        bool in = true;
        QPersistentModelIndex index; // the row to repaint
    };
    struct PaintedHeight {
        ItemText text; // keeps the buffer whose address is the key
        // The text's height as laid out for painting (whole pixels), when
        // `measured` is m_heightsMeasured.
        int height = 0;
        int measured = -1;
    };

    [[nodiscard]] QFont itemFont() const;
    [[nodiscard]] QFont captionFont() const;
    [[nodiscard]] qreal textWidth(qreal rowWidth) const;
    // Makes m_textHeights follow the model, the font, the line count and
    // `rowWidth`, unless they do already.
    void sizeRows(qreal rowWidth) const;
    // Keeps the height of a row's text as painted; when it differs from the
    // one the row was given, the list is asked to size its rows again.
    void keepTextHeight(int row, const ItemText &text, qreal height) const;
    [[nodiscard]] const PreviewText &preview(const ItemText &text, quint64 key, qreal width) const;
    [[nodiscard]] const QString &time(quint64 key, const QDateTime &createdAt) const;
    // Measures fonts; true when a row height changed.
    bool updateMetrics();
    void invalidateLayout();
    void updateHover(const QPoint &viewportPos);
    void setHovered(quint64 key, const QModelIndex &index = {});
    void stepFades();

    void applyTheme();

    QAbstractItemView *m_view;
    const DayItemsModel *m_model;
    QWidget *m_viewport; // the view's, for the event filter
    const Theme &m_theme;
    QString m_query;
    int m_previewLines = 3;
    qreal m_fontSize = 14;

    quint64 m_hoveredKey = 0;
    ClipboardItem m_hoveredItem; // the item of that row
    QHash<quint64, Fade> m_fades;
    QTimer m_fadeTimer;
    QElapsedTimer m_fadeClock;
    QPersistentModelIndex m_pressedIndex;

    qreal m_lineHeight = 0;    // of the item text
    qreal m_captionHeight = 0; // of the time
    QSizeF m_buttonSize;

    // Heights of painted texts by the address of their buffer, which the
    // store's items and the model's copies share.
    mutable QHash<const char *, PaintedHeight> m_paintedHeights;
    qsizetype m_mostRows = 0; // the most rows the model has listed
    // The height of each row's text, by row, as the list is sized: painted,
    // or else from its count of lines. Made for the m_heightsMeasured and
    // the row width below (-1: to be made again).
    mutable QList<int> m_textHeights;
    mutable int m_textHeightsMeasured = -1;
    mutable qreal m_textHeightsWidth = -1;
    // The laid-out text of rows painted lately, by row key, for the current
    // query, font, line count and m_previewWidth.
    mutable QCache<quint64, PreviewText> m_previews{128};
    // The capture times of rows painted lately, formatted, by row key: a
    // hover fade repaints its row a few times, and each format of a local
    // time asks the C library for the time zone.
    mutable QCache<quint64, QString> m_times{128};
    mutable qreal m_previewWidth = -1;
    // Counts the changes of font, line count and m_previewWidth, each of
    // which makes the heights measured before out of date. Lines that wrap,
    // or in taller fonts, make those differ from the line counts'.
    mutable int m_heightsMeasured = 0;
    mutable bool m_heightsChanged = false;
};
