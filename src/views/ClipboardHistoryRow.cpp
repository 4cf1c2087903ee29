// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ClipboardHistoryRow.h"

#include "CopyButton.h"
#include "DateFormatter.h"
#include "DayItemsModel.h"
#include "PreviewText.h"
#include "Theme.h"

#include <QAbstractItemView>
#include <QEasingCurve>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

namespace {

constexpr qreal kOuterPadding = 8;   // above and below each row
constexpr qreal kDividerBlock = 5;   // 2 + hairline + 2 under each row
constexpr qreal kInnerPadding = 10;  // inside the rounded body
constexpr qreal kColumnSpacing = 12; // text to button
constexpr qreal kRowSpacing = 10;    // text row to time
constexpr qreal kButtonMinimumHeight = 36;
constexpr qreal kCornerRadius = 10;
constexpr qreal kTrailingInset = 8; // keeps the button off the scroll bar
constexpr int kFadeMilliseconds = 120;

QString copyToolTip()
{
    return QStringLiteral("Copy");
}

} // namespace

ClipboardHistoryRow::ClipboardHistoryRow(QAbstractItemView *view, const Theme &theme)
    : QStyledItemDelegate(view), m_view(view),
      m_model(qobject_cast<const DayItemsModel *>(view->model())), m_viewport(view->viewport()),
      m_theme(theme), m_fontSize(theme.itemFontSize())
{
    Q_ASSERT(m_model);
    updateMetrics();
    m_view->setMouseTracking(true);
    m_view->viewport()->installEventFilter(this);
    // Rows move under a resting pointer when items arrive or the list
    // changes: the hover follows the row now under it.
    if (QAbstractItemModel *model = m_view->model()) {
        const auto rehover = [this] {
            QTimer::singleShot(0, this, [this] {
                if (m_view->viewport()->underMouse())
                    updateHover(m_view->viewport()->mapFromGlobal(QCursor::pos()));
                else
                    setHovered({});
            });
        };
        const auto rowsChanged = [this] { m_textHeightsMeasured = -1; };
        for (const auto signal :
             {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
            connect(model, signal, this, rowsChanged);
            connect(model, signal, this, rehover);
        }
        connect(model, &QAbstractItemModel::modelReset, this, rehover);
        // A reset hands out new keys: the old previews can never be asked
        // for. Painted heights stay, but not without bound: texts no longer
        // listed would stay in memory. The bound follows the longest list,
        // not this one: a search that lists few rows must not drop the
        // heights measured for the day it came from.
        connect(model, &QAbstractItemModel::modelReset, this, [this, model] {
            m_previews.clear();
            m_times.clear();
            m_textHeightsMeasured = -1;
            m_mostRows = std::max(m_mostRows, qsizetype(model->rowCount()));
            if (m_paintedHeights.size() > 2 * m_mostRows + 4096)
                m_paintedHeights.clear();
        });
    }
    m_fadeTimer.setInterval(15);
    connect(&m_fadeTimer, &QTimer::timeout, this, &ClipboardHistoryRow::stepFades);
    connect(&m_theme, &Theme::changed, this, &ClipboardHistoryRow::applyTheme);
}

void ClipboardHistoryRow::applyTheme()
{
    m_fontSize = m_theme.itemFontSize();
    if (updateMetrics()) {
        invalidateLayout();
        return;
    }
    m_view->viewport()->update();
}

bool ClipboardHistoryRow::updateMetrics()
{
    const qreal lineHeight = PreviewText::lineHeight(itemFont());
    const qreal captionHeight = QFontMetricsF(captionFont()).height();
    const QSizeF buttonSize = CopyButton::lookSize(kButtonMinimumHeight);
    const bool changed = lineHeight != m_lineHeight || captionHeight != m_captionHeight ||
                         buttonSize != m_buttonSize;
    m_lineHeight = lineHeight;
    m_captionHeight = captionHeight;
    m_buttonSize = buttonSize;
    // Widths change with the font even where heights do not.
    m_previews.clear();
    ++m_heightsMeasured;
    return changed;
}

void ClipboardHistoryRow::setQuery(const QString &query)
{
    // Row heights do not depend on the query: only the laid-out text of
    // the rows on screen is made again, with the new marks.
    m_query = query;
    m_previews.clear();
    m_view->viewport()->update();
}

void ClipboardHistoryRow::setPreviewLines(int lines)
{
    if (lines == m_previewLines)
        return;
    m_previewLines = lines;
    invalidateLayout();
}

QFont ClipboardHistoryRow::itemFont() const
{
    return Theme::monospacedFont(qRound(m_fontSize));
}

QFont ClipboardHistoryRow::captionFont() const
{
    return Theme::font(11);
}

qreal ClipboardHistoryRow::textWidth(qreal rowWidth) const
{
    return rowWidth - kTrailingInset - 2 * kInnerPadding - kColumnSpacing - m_buttonSize.width();
}

QRectF ClipboardHistoryRow::bodyRect(const QRectF &rect) const
{
    return rect.adjusted(0, kOuterPadding, -kTrailingInset, -(kOuterPadding + kDividerBlock));
}

QRectF ClipboardHistoryRow::copyButtonRect(const QRectF &rect) const
{
    const QRectF inner =
        bodyRect(rect).adjusted(kInnerPadding, kInnerPadding, -kInnerPadding, -kInnerPadding);
    return {inner.right() - m_buttonSize.width(), inner.top(), m_buttonSize.width(),
            m_buttonSize.height()};
}

qreal ClipboardHistoryRow::hoverLevel(quint64 key) const
{
    const auto it = m_fades.constFind(key);
    if (it == m_fades.constEnd())
        return 0;
    return QEasingCurve(QEasingCurve::InOutQuad).valueForProgress(it->progress);
}

void ClipboardHistoryRow::invalidateLayout()
{
    m_previews.clear();
    ++m_heightsMeasured;
    // Heights depend on what changed: let the view ask again.
    Q_EMIT sizeHintChanged(QModelIndex());
    m_view->viewport()->update();
}

const PreviewText &ClipboardHistoryRow::preview(const ItemText &text, quint64 key,
                                                qreal width) const
{
    if (width != m_previewWidth) {
        m_previews.clear();
        ++m_heightsMeasured;
        m_previewWidth = width;
    }
    if (const PreviewText *known = m_previews.object(key))
        return *known;
    auto *made = new PreviewText(text, m_query, itemFont(), textWidth(width), m_previewLines);
    m_previews.insert(key, made);
    return *made;
}

const QString &ClipboardHistoryRow::time(quint64 key, const QDateTime &createdAt) const
{
    if (const QString *known = m_times.object(key))
        return *known;
    auto *made = new QString(timestampFormatter().format(createdAt));
    m_times.insert(key, made);
    return *made;
}

void ClipboardHistoryRow::sizeRows(qreal rowWidth) const
{
    if (m_textHeightsMeasured == m_heightsMeasured && m_textHeightsWidth == rowWidth)
        return;
    int byLines[PreviewText::mostLines + 1];
    for (int lines = 0; lines <= PreviewText::mostLines; ++lines)
        byLines[lines] = int(PreviewText::heightOf(std::min(lines, m_previewLines), m_lineHeight));
    // Painted heights hold for the width they were painted at.
    const bool painted = !m_paintedHeights.isEmpty() && rowWidth == m_previewWidth;
    const int rows = m_model->rowCount();
    m_textHeights.resize(rows);
    for (int row = 0; row < rows; ++row) {
        int height = byLines[std::clamp(m_model->lineCount(row), 1, PreviewText::mostLines)];
        if (painted) {
            const ItemText &text = m_model->itemAt(row).content;
            const auto it = m_paintedHeights.constFind(text.utf8().constData());
            if (it != m_paintedHeights.constEnd() && it->measured == m_heightsMeasured &&
                it->text.isSharedWith(text))
                height = it->height;
        }
        m_textHeights[row] = height;
    }
    m_textHeightsMeasured = m_heightsMeasured;
    m_textHeightsWidth = rowWidth;
}

void ClipboardHistoryRow::keepTextHeight(int row, const ItemText &text, qreal height) const
{
    // The heights the list was sized with, before this one is kept.
    sizeRows(m_previewWidth);
    const char *key = text.utf8().constData();
    auto it = m_paintedHeights.find(key);
    if (it == m_paintedHeights.end() || !it->text.isSharedWith(text))
        it = m_paintedHeights.insert(key, {text});
    it->height = int(height);
    it->measured = m_heightsMeasured;
    if (row >= m_textHeights.size() || m_textHeights.at(row) == it->height)
        return;
    m_textHeights[row] = it->height;
    // Once for all the rows painted together; the list then lays out again
    // and repaints, finding the heights it was sized with.
    if (m_heightsChanged)
        return;
    m_heightsChanged = true;
    QTimer::singleShot(0, this, [this] {
        m_heightsChanged = false;
        Q_EMIT const_cast<ClipboardHistoryRow *>(this)->sizeHintChanged(QModelIndex());
    });
}

QSize ClipboardHistoryRow::sizeHint(const QStyleOptionViewItem &, const QModelIndex &index) const
{
    // No text is laid out here, nor any item read: the list asks for every
    // row of the day.
    const qreal rowWidth = m_view->viewport()->width();
    sizeRows(rowWidth);
    const qreal firstRow = std::max(qreal(m_textHeights.value(index.row())), m_buttonSize.height());
    const qreal height = kOuterPadding + kInnerPadding + firstRow + kRowSpacing + m_captionHeight +
                         kInnerPadding + kOuterPadding + kDividerBlock;
    return {int(rowWidth), int(std::ceil(height))};
}

void ClipboardHistoryRow::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                const QModelIndex &index) const
{
    const QRectF rect(option.rect);
    const QRectF body = bodyRect(rect);
    const quint64 key = index.data(RowKeyRole).toULongLong();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);

    if (const qreal level = hoverLevel(key); level > 0) {
        QColor background = m_theme.rowHover();
        background.setAlphaF(float(background.alphaF() * level));
        QPainterPath shape;
        shape.addRoundedRect(body, kCornerRadius, kCornerRadius);
        painter->fillPath(shape, background);
    }

    // The keyboard's row: a ring in the theme's focus colour.
    if ((option.state & QStyle::State_HasFocus) && m_view->hasFocus()) {
        QPainterPath shape;
        shape.addRoundedRect(body.adjusted(1, 1, -1, -1), kCornerRadius - 1, kCornerRadius - 1);
        painter->setPen(QPen(m_theme.focusRing(), 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawPath(shape);
    }

    const QRectF inner =
        body.adjusted(kInnerPadding, kInnerPadding, -kInnerPadding, -kInnerPadding);
    const QRectF button = copyButtonRect(rect);
    const ItemText &content = m_model->itemAt(index.row()).content;
    const PreviewText &text = preview(content, key, rect.width());
    keepTextHeight(index.row(), content, text.height());
    painter->setPen(m_theme.primaryText());
    text.draw(painter, inner.topLeft());

    CopyButton::paintLook(painter, button, m_theme.accent(), m_theme.onAccent(),
                          m_pressedIndex.isValid() && m_pressedIndex == index);

    const qreal firstRow = std::max(text.height(), button.height());
    const QFont caption = captionFont();
    const QRectF timeRect(inner.left(), inner.top() + firstRow + kRowSpacing, inner.width(),
                          m_captionHeight);
    painter->setFont(caption);
    painter->setPen(m_theme.secondaryText());
    painter->drawText(timeRect, Qt::AlignLeft | Qt::AlignVCenter,
                      time(key, m_model->itemAt(index.row()).createdAt));

    // 2 pixels above the hairline and 2 below it (rect.bottom() of a QRectF
    // is the edge, not the last pixel row): 10 on either side of it in all.
    const qreal dividerY = rect.bottom() - kDividerBlock + 2;
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->fillRect(QRectF(rect.left(), dividerY, body.width(), 1), m_theme.separator());
    painter->restore();
}

bool ClipboardHistoryRow::editorEvent(QEvent *, QAbstractItemModel *, const QStyleOptionViewItem &,
                                      const QModelIndex &)
{
    // Mouse handling happens in eventFilter(), before the view's own.
    return false;
}

bool ClipboardHistoryRow::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                                    const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event->type() == QEvent::ToolTip) {
        if (copyButtonRect(QRectF(option.rect)).contains(event->pos()))
            QToolTip::showText(event->globalPos(), copyToolTip(), view);
        else
            QToolTip::hideText();
        return true;
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

bool ClipboardHistoryRow::eventFilter(QObject *watched, QEvent *event)
{
    // Compared with the pointer kept from construction: while the view is
    // being destroyed its viewport still sends events (QEvent::Destroy) here,
    // and m_view is no longer a scroll area to ask.
    if (watched != m_viewport || event->type() == QEvent::Destroy)
        return false;
    switch (event->type()) {
    case QEvent::MouseMove:
        updateHover(static_cast<QMouseEvent *>(event)->position().toPoint());
        return false;
    case QEvent::Leave:
        setHovered({});
        m_view->viewport()->unsetCursor();
        return false;
    case QEvent::Wheel:
        // The row under the pointer changes as the list scrolls.
        QTimer::singleShot(
            0, this, [this] { updateHover(m_view->viewport()->mapFromGlobal(QCursor::pos())); });
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        break;
    default:
        return false;
    }

    auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() != Qt::LeftButton)
        return true;
    const QPoint pos = mouse->position().toPoint();
    const QModelIndex index = m_view->indexAt(pos);
    const QRectF rect = index.isValid() ? QRectF(m_view->visualRect(index)) : QRectF();
    const bool onButton = index.isValid() && copyButtonRect(rect).contains(pos);

    if (event->type() == QEvent::MouseButtonRelease) {
        const bool clicked = onButton && m_pressedIndex.isValid() && m_pressedIndex == index;
        if (m_pressedIndex.isValid()) {
            m_view->viewport()->update(m_view->visualRect(m_pressedIndex));
            m_pressedIndex = QPersistentModelIndex();
        }
        if (clicked)
            Q_EMIT copyRequested(index);
        return true;
    }
    if (onButton) {
        // Each click on the button is a press, double clicks included.
        m_pressedIndex = index;
        m_view->viewport()->update(rect.toAlignedRect());
        return true;
    }
    if (event->type() == QEvent::MouseButtonDblClick && index.isValid() &&
        bodyRect(rect).contains(pos))
        Q_EMIT openRequested(index);
    return true; // a single click on a row does nothing
}

void ClipboardHistoryRow::updateHover(const QPoint &viewportPos)
{
    const QModelIndex index = m_view->indexAt(viewportPos);
    quint64 key = 0;
    bool onButton = false;
    if (index.isValid()) {
        const QRectF rect(m_view->visualRect(index));
        if (bodyRect(rect).contains(viewportPos))
            key = index.data(RowKeyRole).toULongLong();
        onButton = copyButtonRect(rect).contains(viewportPos);
    }
    if (onButton)
        m_view->viewport()->setCursor(Qt::PointingHandCursor);
    else
        m_view->viewport()->unsetCursor();
    setHovered(key, index);
}

void ClipboardHistoryRow::setHovered(quint64 key, const QModelIndex &index)
{
    if (key == m_hoveredKey)
        return;
    const ClipboardItem *item = key != 0 ? &m_model->itemAt(index.row()) : nullptr;
    const auto hovered = m_fades.find(m_hoveredKey);
    if (item && hovered != m_fades.end() && !hovered->index.isValid() &&
        item->content.isSharedWith(m_hoveredItem.content) &&
        item->createdAt == m_hoveredItem.createdAt) {
        // The list was made again (a search, a capture) with the same item
        // under the pointer: its row stays hovered rather than fading in
        // anew.
        Fade fade = *hovered;
        fade.index = index;
        m_fades.erase(hovered);
        m_fades.insert(key, fade);
        m_hoveredKey = key;
        return;
    }
    if (m_hoveredKey != 0)
        m_fades[m_hoveredKey].in = false;
    m_hoveredKey = key;
    m_hoveredItem = item ? *item : ClipboardItem();
    if (key != 0) {
        Fade &fade = m_fades[key];
        fade.in = true;
        fade.index = index;
    }
    if (!m_fadeTimer.isActive()) {
        m_fadeClock.start();
        m_fadeTimer.start();
    }
}

void ClipboardHistoryRow::stepFades()
{
    const qreal step = qreal(m_fadeClock.restart()) / kFadeMilliseconds;
    for (auto it = m_fades.begin(); it != m_fades.end();) {
        it->progress = std::clamp(it->progress + (it->in ? step : -step), 0.0, 1.0);
        // Only the fading rows change; a row gone from the model (its index
        // no longer valid) was repainted with the list.
        if (it->index.isValid())
            m_view->viewport()->update(m_view->visualRect(it->index));
        if (!it->in && it->progress <= 0)
            it = m_fades.erase(it);
        else
            ++it;
    }
    const bool settled = std::all_of(m_fades.cbegin(), m_fades.cend(), [](const Fade &fade) {
        return fade.in && fade.progress >= 1;
    });
    if (settled)
        m_fadeTimer.stop();
}
