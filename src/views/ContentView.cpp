// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ContentView.h"

#include "AppSettings.h"
#include "BackdropWidget.h"
#include "ClipboardDetailSheet.h"
#include "ClipboardHistoryRow.h"
#include "ClipboardStore.h"
#include "DayItemsModel.h"
#include "DayListModel.h"
#include "EmptyStateView.h"
#include "HistoryIndex.h"
#include "Pasteboard.h"
#include "PreviewText.h"
#include "Theme.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kSidebarMinimumWidth = 260;
constexpr int kDefaultPadding = 16;

// A sidebar row: the day title over its item count, the selected row on a
// soft rounded fill.
class DayRowDelegate : public QStyledItemDelegate {
public:
    DayRowDelegate(QObject *parent, const Theme &theme)
        : QStyledItemDelegate(parent), m_theme(theme)
    {
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        const QFontMetrics title(titleFont());
        const QFontMetrics count(countFont());
        return {option.rect.width(), 8 + title.height() + 3 + count.height() + 8};
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const QRectF rect = QRectF(option.rect).adjusted(0, 1, 0, -1);
        if (option.state & QStyle::State_Selected) {
            QPainterPath shape;
            shape.addRoundedRect(rect, 6, 6);
            painter->fillPath(shape, m_theme.selectedDayFill());
            // The keyboard is on the list: a ring around its current day.
            if (option.state & QStyle::State_HasFocus) {
                painter->setPen(QPen(m_theme.focusRing(), 2));
                painter->drawPath(shape);
            }
        } else if (option.state & QStyle::State_MouseOver) {
            QPainterPath shape;
            shape.addRoundedRect(rect, 6, 6);
            painter->fillPath(shape, m_theme.hoveredDayFill());
        }
        const QFont title = titleFont();
        const QFont count = countFont();
        const QRectF text = rect.adjusted(10, 7, -10, -7);
        const qreal titleHeight = QFontMetricsF(title).height();
        painter->setFont(title);
        painter->setPen(m_theme.primaryText());
        const QString titleText = QFontMetricsF(title).elidedText(
            index.data(Qt::DisplayRole).toString(), Qt::ElideRight, text.width());
        painter->drawText(QRectF(text.left(), text.top(), text.width(), titleHeight),
                          Qt::AlignLeft | Qt::AlignVCenter, titleText);
        painter->setFont(count);
        painter->setPen(m_theme.secondaryText());
        painter->drawText(QRectF(text.left(), text.top() + titleHeight + 3, text.width(),
                                 QFontMetricsF(count).height()),
                          Qt::AlignLeft | Qt::AlignVCenter,
                          index.data(DayListModel::CountTextRole).toString());
        painter->restore();
    }

private:
    static QFont titleFont() { return Theme::font(15, QFont::Medium); }
    static QFont countFont() { return Theme::font(11); }

    const Theme &m_theme;
};

void makeTransparent(QListView *list)
{
    list->setFrameShape(QFrame::NoFrame);
    list->setAutoFillBackground(false);
    list->viewport()->setAutoFillBackground(false);
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    list->setPalette(palette);
}

} // namespace

ContentView::ContentView(ClipboardStore &store, AppSettings &settings, const Theme &theme,
                         Pasteboard *pasteboard, QWidget *parent)
    : QWidget(parent), m_store(store), m_settings(settings), m_theme(theme),
      m_pasteboard(pasteboard), m_index(new HistoryIndex(store, this)),
      m_dayModel(new DayListModel(*m_index, this)), m_itemModel(new DayItemsModel(this)),
      m_historySearch(*m_index)
{
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->setHandleWidth(1);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_splitter);

    buildSidebar();
    buildDetail();
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({280, 920});
    m_dayList->installEventFilter(this);
    setTabOrder(m_search, m_dayList);
    setTabOrder(m_dayList, m_itemList);

    m_sheet = new ClipboardDetailSheet(theme, this);
    connect(m_sheet, &ClipboardDetailSheet::copyRequested, this, &ContentView::copyToPasteboard);

    connect(m_index, &HistoryIndex::rowsInserted, this, &ContentView::onRowsInserted);
    connect(m_index, &HistoryIndex::rowsRemoved, this, &ContentView::onRowsRemoved);
    connect(m_index, &HistoryIndex::reset, this, [this] {
        m_lineCounts.fill(-1, m_store.items().size());
        m_shownRows.reset();
        refreshAll();
    });

    connect(&m_theme, &Theme::changed, this, &ContentView::applyTheme);
    connect(&m_settings, &AppSettings::previewLineCountChanged, this,
            &ContentView::applyRowSettings);

    applyTheme();
    applyRowSettings();
    m_lineCounts.fill(-1, m_store.items().size());
    refreshAll();
}

ContentView::~ContentView() = default;

void ContentView::buildSidebar()
{
    m_sidebar = new BackdropWidget(m_theme, Theme::Surface::sidebar, m_splitter);
    m_sidebar->setMinimumWidth(kSidebarMinimumWidth);
    m_splitter->addWidget(m_sidebar);

    m_explorerLabel = new QLabel(QStringLiteral("Explorer"), m_sidebar);
    m_explorerLabel->setFont(Theme::font(13, QFont::Bold));
    m_search = new QLineEdit(m_sidebar);
    m_search->setPlaceholderText(QStringLiteral("Search your copied items"));
    m_search->setClearButtonEnabled(true);
    // The field's one tool button is its clear button.
    for (QToolButton *button : m_search->findChildren<QToolButton *>())
        button->setAccessibleName(QStringLiteral("Clear search"));
    m_search->setObjectName(QStringLiteral("searchField"));
    m_search->setAccessibleName(m_search->placeholderText());
    connect(m_search, &QLineEdit::textChanged, this, &ContentView::onSearchTextChanged);

    m_sidebarEmpty = new EmptyStateView(m_theme, m_sidebar);
    m_sidebarEmpty->setObjectName(QStringLiteral("sidebarEmpty"));
    m_sidebarEmpty->setContent(Symbol::starHexagonFill, QStringLiteral("No Clipboard History"),
                               QStringLiteral("Copied text will appear here automatically."));
    m_dayList = new QListView(m_sidebar);
    m_dayList->setObjectName(QStringLiteral("dayList"));
    m_dayList->setAccessibleName(QStringLiteral("Days"));
    m_dayList->setModel(m_dayModel);
    m_dayList->setItemDelegate(new DayRowDelegate(m_dayList, m_theme));
    m_dayList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_dayList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_dayList->setUniformItemSizes(true);
    m_dayList->setMouseTracking(true);
    m_dayList->setAttribute(Qt::WA_Hover);
    m_dayList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    makeTransparent(m_dayList);
    connect(m_dayList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { onDaySelected(current); });

    m_sidebarStack = new QStackedWidget(m_sidebar);
    m_sidebarStack->addWidget(m_sidebarEmpty);
    m_sidebarStack->addWidget(m_dayList);

    auto *header = new QHBoxLayout;
    header->setContentsMargins(kDefaultPadding, kDefaultPadding / 2, kDefaultPadding, 0);
    header->addWidget(m_explorerLabel);
    header->addStretch(1);
    auto *searchRow = new QHBoxLayout;
    searchRow->setContentsMargins(kDefaultPadding / 2, 0, kDefaultPadding / 2, 0);
    searchRow->addWidget(m_search);

    auto *layout = new QVBoxLayout(m_sidebar);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);
    layout->addLayout(header);
    layout->addLayout(searchRow);
    layout->addWidget(m_sidebarStack, 1);
}

void ContentView::buildDetail()
{
    m_detail = new BackdropWidget(m_theme, Theme::Surface::detail, m_splitter);
    m_splitter->addWidget(m_detail);

    m_selectEmpty = new EmptyStateView(m_theme, m_detail);
    m_selectEmpty->setObjectName(QStringLiteral("selectDayEmpty"));
    m_selectEmpty->setContent(
        Symbol::calendar, QStringLiteral("Select a Date"),
        QStringLiteral("Choose a date on the left to view clipboard history."));

    m_dayPage = new QWidget(m_detail);
    m_dayTitle = new QLabel(m_dayPage);
    m_dayTitle->setObjectName(QStringLiteral("dayTitle"));
    m_dayTitle->setFont(Theme::font(26, QFont::Bold));
    m_dayCount = new QLabel(m_dayPage);
    m_dayCount->setObjectName(QStringLiteral("dayCount"));
    m_dayCount->setFont(Theme::font(13));

    m_itemsEmpty = new EmptyStateView(m_theme, m_dayPage);
    m_itemsEmpty->setObjectName(QStringLiteral("dayEmpty"));
    m_itemList = new QListView(m_dayPage);
    m_itemList->setObjectName(QStringLiteral("itemList"));
    m_itemList->setAccessibleName(QStringLiteral("Clipboard items"));
    m_itemList->setModel(m_itemModel);
    m_rowDelegate = new ClipboardHistoryRow(m_itemList, m_theme);
    m_itemList->setItemDelegate(m_rowDelegate);
    m_itemList->setSelectionMode(QAbstractItemView::NoSelection);
    m_itemList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_itemList->setFocusPolicy(Qt::StrongFocus);
    m_itemList->installEventFilter(this);
    m_itemList->setResizeMode(QListView::Adjust);
    m_itemList->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_itemList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_itemList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_itemList->verticalScrollBar()->setSingleStep(24);
    makeTransparent(m_itemList);
    connect(
        m_rowDelegate, &ClipboardHistoryRow::copyRequested, this,
        [this](const QModelIndex &index) { copyToPasteboard(m_itemModel->itemAt(index.row())); });
    connect(m_rowDelegate, &ClipboardHistoryRow::openRequested, this,
            [this](const QModelIndex &index) { openItem(m_itemModel->itemAt(index.row())); });

    m_itemStack = new QStackedWidget(m_dayPage);
    m_itemStack->addWidget(m_itemsEmpty);
    m_itemStack->addWidget(m_itemList);

    auto *titles = new QVBoxLayout;
    titles->setSpacing(4);
    titles->addWidget(m_dayTitle);
    titles->addWidget(m_dayCount);
    auto *pageLayout = new QVBoxLayout(m_dayPage);
    pageLayout->setContentsMargins(kDefaultPadding, kDefaultPadding, kDefaultPadding,
                                   kDefaultPadding);
    pageLayout->setSpacing(14);
    pageLayout->addLayout(titles);
    pageLayout->addWidget(m_itemStack, 1);

    m_detailStack = new QStackedWidget(m_detail);
    m_detailStack->addWidget(m_selectEmpty);
    m_detailStack->addWidget(m_dayPage);
    auto *layout = new QVBoxLayout(m_detail);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_detailStack);
}

void ContentView::applyTheme()
{
    m_theme.applyTo(this);
    QPalette secondary = m_dayCount->palette();
    secondary.setColor(QPalette::WindowText, m_theme.secondaryText());
    m_dayCount->setPalette(secondary);
    m_dayList->viewport()->update();
}

void ContentView::applyRowSettings()
{
    m_rowDelegate->setPreviewLines(rawValue(m_settings.previewLineCount()));
}

void ContentView::copyToPasteboard(const ClipboardItem &item)
{
    if (m_pasteboard)
        m_pasteboard->writeBack(item.content.toString());
}

void ContentView::openItem(const ClipboardItem &item)
{
    m_sheet->setItem(item, m_historySearch.text());
    m_sheet->resize(m_sheet->minimumSize().expandedTo(m_sheet->sizeHint()));
    m_sheet->open();
}

bool ContentView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || (watched != m_dayList && watched != m_itemList))
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->modifiers() & ~Qt::KeypadModifier)
        return false;
    if (watched == m_dayList) {
        if (key->key() != Qt::Key_Right || !m_itemList->isVisible())
            return false;
        if (!m_itemList->currentIndex().isValid() && m_itemModel->rowCount() > 0)
            m_itemList->setCurrentIndex(m_itemModel->index(0));
        m_itemList->setFocus(Qt::TabFocusReason);
        return true;
    }
    const QModelIndex current = m_itemList->currentIndex();
    switch (key->key()) {
    case Qt::Key_Left:
        m_dayList->setFocus(Qt::BacktabFocusReason);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (current.isValid())
            copyToPasteboard(m_itemModel->itemAt(current.row()));
        return true;
    case Qt::Key_Space:
        // Space looks at the row in full, as file managers preview a file.
        if (current.isValid())
            openItem(m_itemModel->itemAt(current.row()));
        return true;
    default:
        return false;
    }
}

void ContentView::onSearchTextChanged(const QString &text)
{
    m_historySearch.setText(text);
    m_rowDelegate->setQuery(text);
    m_dayModel->setDays(m_historySearch.visibleDays());
    syncSelection();
    showSelectionInList();
    refreshDetail();
}

bool ContentView::syncSelection()
{
    if (m_selectedDay && m_dayModel->rowOf(*m_selectedDay) >= 0)
        return false;
    const QList<QDate> &days = m_dayModel->days();
    const std::optional<QDate> next =
        days.isEmpty() ? std::nullopt : std::optional<QDate>(days.first());
    if (next == m_selectedDay)
        return false;
    m_selectedDay = next;
    return true;
}

void ContentView::showSelectionInList()
{
    m_updatingList = true;
    const int row = m_selectedDay ? m_dayModel->rowOf(*m_selectedDay) : -1;
    if (row >= 0) {
        const QModelIndex index = m_dayModel->index(row);
        if (m_dayList->currentIndex() != index)
            m_dayList->setCurrentIndex(index);
        m_dayList->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
        // The list may have grown back around it (a search cleared).
        m_dayList->scrollTo(index, QAbstractItemView::EnsureVisible);
    } else {
        m_dayList->selectionModel()->clear();
    }
    m_updatingList = false;
}

void ContentView::onDaySelected(const QModelIndex &current)
{
    if (m_updatingList || !current.isValid())
        return;
    const QDate day = current.data(DayListModel::DateRole).toDate();
    if (m_selectedDay == day)
        return;
    m_selectedDay = day;
    refreshDetail();
}

void ContentView::refreshAll()
{
    m_historySearch.historyChanged();
    m_dayModel->setDays(m_historySearch.visibleDays());
    syncSelection();
    showSelectionInList();
    refreshDetail();
}

void ContentView::refreshDetail()
{
    const QList<int> rows =
        m_selectedDay ? m_historySearch.matchingRows(*m_selectedDay) : QList<int>();
    // A keystroke that lists the same rows changes only their marks: the
    // list keeps its rows, its scroll position and its current row.
    if (m_shownRows == rows) {
        updateDetailPages();
        return;
    }
    QList<ClipboardItem> items;
    QList<qint8> lineCounts;
    if (m_selectedDay) {
        const QList<ClipboardItem> &all = m_store.items();
        items.reserve(rows.size());
        lineCounts.reserve(rows.size());
        for (int row : rows) {
            items.append(all.at(row));
            qint8 &lines = m_lineCounts[row];
            if (lines < 0)
                lines =
                    qint8(PreviewText::lineCountOf(all.at(row).content, PreviewText::mostLines));
            lineCounts.append(lines);
        }
    }
    m_itemModel->setItems(std::move(items), std::move(lineCounts));
    m_shownRows = rows;
    updateDetailPages();
}

void ContentView::updateDetailPages()
{
    m_sidebarStack->setCurrentWidget(
        m_dayModel->days().isEmpty() ? static_cast<QWidget *>(m_sidebarEmpty) : m_dayList);
    if (!m_selectedDay) {
        m_detailStack->setCurrentWidget(m_selectEmpty);
        return;
    }
    m_detailStack->setCurrentWidget(m_dayPage);
    m_dayTitle->setText(HistorySearch::dayTitle(*m_selectedDay));
    const int count = int(m_itemModel->items().size());
    m_dayCount->setText(DayListModel::itemCountText(count));
    if (count == 0) {
        if (m_historySearch.text().isEmpty())
            m_itemsEmpty->setContent(Symbol::tray, QStringLiteral("No Items for This Date"),
                                     QStringLiteral("Clipboard entries for this day will appear "
                                                    "here."));
        else
            m_itemsEmpty->setContent(Symbol::tray, QStringLiteral("No Matches"),
                                     QStringLiteral("No clipboard items match the current "
                                                    "search."));
        m_itemStack->setCurrentWidget(m_itemsEmpty);
    } else {
        m_itemStack->setCurrentWidget(m_itemList);
    }
}

void ContentView::onRowsRemoved(int first, int last)
{
    m_lineCounts.remove(first, last - first + 1);
    m_shownRows.reset();
    refreshAll();
}

void ContentView::onRowsInserted(int first, int last)
{
    m_lineCounts.insert(first, last - first + 1, -1);
    m_shownRows.reset();
    const QList<ClipboardItem> &items = m_store.items();
    bool daysChanged = false;
    // Oldest first, so that each lands at the front of its day.
    for (int row = last; row >= first; --row) {
        const QDate day = m_store.dayOfItem(row);
        m_historySearch.itemInserted(row);
        const bool itemMatches = m_historySearch.itemMatches(row);
        if (m_dayModel->rowOf(day) >= 0) {
            m_dayModel->countChanged(day);
        } else if (itemMatches || m_historySearch.titleMatches(day)) {
            QList<QDate> days = m_dayModel->days();
            days.insert(std::lower_bound(days.begin(), days.end(), day, std::greater<>()), day);
            m_dayModel->setDays(days);
            daysChanged = true;
        }
        if (m_selectedDay == day && itemMatches)
            m_itemModel->prepend(items.at(row));
    }
    if (daysChanged && syncSelection()) {
        showSelectionInList();
        refreshDetail();
        return;
    }
    if (daysChanged)
        showSelectionInList();
    updateDetailPages();
}
