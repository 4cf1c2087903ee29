// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "MenuBarItemRow.h"

#include "ClipboardItem.h"
#include "DateFormatter.h"
#include "HighlightStyle.h"
#include "RecentItemsModel.h"
#include "Theme.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

namespace {
constexpr int padding = 8;
constexpr int lineSpacing = 4;
constexpr int dividerInset = 4;
constexpr qsizetype displayLimit = 400;
} // namespace

MenuBarItemRow::MenuBarItemRow(const Theme &theme, QObject *parent)
    : QStyledItemDelegate(parent), m_theme(theme),
      m_textFont(QFontDatabase::systemFont(QFontDatabase::FixedFont)),
      m_timeFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont))
{
    m_textFont.setPointSizeF(12);
    m_textFont.setWeight(QFont::Normal);
    m_timeFont.setPointSizeF(9);
}

QString MenuBarItemRow::displayedLine(const QString &content)
{
    const QStringView head = QStringView(content).left(displayLimit);
    qsizetype end = head.size();
    for (qsizetype i = 0; i < head.size(); ++i) {
        if (head[i] == u'\n' || head[i] == u'\r') {
            end = i;
            break;
        }
    }
    QString line = head.left(end).toString();
    // A line that goes on (more lines, or more text) ends in an ellipsis
    // even when what is shown would fit.
    if (end < content.size())
        line += QChar(0x2026);
    return line.replace(u'\t', u' ');
}

QSize MenuBarItemRow::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    const int height = padding + QFontMetrics(m_textFont).height() + lineSpacing +
                       QFontMetrics(m_timeFont).height() + padding + 1;
    return {200, height};
}

void MenuBarItemRow::paint(QPainter *painter, const QStyleOptionViewItem &option,
                           const QModelIndex &index) const
{
    const auto item = index.data(RecentItemsModel::ItemRole).value<ClipboardItem>();
    const QString query = index.data(RecentItemsModel::QueryRole).toString();
    const QRect row = option.rect.adjusted(0, 0, 0, -1); // the last pixel is the divider

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const bool hovered = option.state & QStyle::State_MouseOver;
    const bool keyboardOn =
        (option.state & QStyle::State_HasFocus) && (option.state & QStyle::State_Selected);
    if (hovered || keyboardOn) {
        QPainterPath background;
        background.addRoundedRect(QRectF(row), 8, 8);
        painter->fillPath(background, m_theme.popoverRowHover());
    }

    const QRect content = row.adjusted(padding, padding, -padding, -padding);
    const QFontMetrics textMetrics(m_textFont);

    // The text: one line, cut at the tail with an ellipsis where it overflows.
    QString line = displayedLine(item.content.left(displayLimit + 1));
    const bool continues = line.endsWith(QChar(0x2026));
    if (continues)
        line.chop(1);
    QString shown = textMetrics.elidedText(line, Qt::ElideRight, content.width());
    if (continues && !shown.endsWith(QChar(0x2026))) {
        shown = textMetrics.elidedText(line + QChar(0x2026), Qt::ElideRight, content.width());
        if (!shown.endsWith(QChar(0x2026)))
            shown += QChar(0x2026);
    }
    const qsizetype visible = shown.endsWith(QChar(0x2026)) ? shown.size() - 1 : shown.size();
    QTextLayout layout(shown, m_textFont);
    layout.setFormats(
        HighlightStyle::formats(TextMatcher(query).ranges(line), m_textFont, visible));
    layout.beginLayout();
    QTextLine textLine = layout.createLine();
    textLine.setLineWidth(content.width() + textMetrics.averageCharWidth() * 2);
    layout.endLayout();
    painter->setPen(m_theme.primaryText());
    painter->setClipRect(content.adjusted(0, 0, 0, 0));
    layout.draw(painter, content.topLeft());
    painter->setClipping(false);

    // The time, in the small caption style.
    painter->setFont(m_timeFont);
    painter->setPen(m_theme.secondaryText());
    const QRect timeRect(content.left(), content.top() + textMetrics.height() + lineSpacing,
                         content.width(), QFontMetrics(m_timeFont).height());
    painter->drawText(timeRect, Qt::AlignLeft | Qt::AlignVCenter,
                      timeFormatter().format(item.createdAt));

    // The divider follows every row, the last one too.
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(m_theme.separator());
    const int y = option.rect.bottom();
    painter->drawLine(option.rect.left() + dividerInset, y, option.rect.right() - dividerInset, y);
    painter->restore();
}
