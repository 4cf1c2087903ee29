// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ClipboardItem.h"
#include "HistorySearch.h"

#include <QDate>
#include <QWidget>

#include <optional>

class AppSettings;
class BackdropWidget;
class ClipboardDetailSheet;
class ClipboardHistoryRow;
class ClipboardStore;
class DayItemsModel;
class DayListModel;
class EmptyStateView;
class HistoryIndex;
class Pasteboard;
class QLabel;
class QLineEdit;
class QListView;
class QSplitter;
class QStackedWidget;
class Theme;

// The main window's content: a browser of the whole history by day. The
// sidebar ("Explorer") holds the search field and the days that have items;
// the detail column lists the selected day's items as rows that copy back
// with their button or open in a sheet with a double click. By keyboard,
// Tab (or Right from the days) reaches the rows, the arrows move between
// them, Return copies one and Space opens it in the sheet. One search
// filters both columns. It follows the store's fine-grained changes (a
// capture adds a row, not a rebuild) and the appearance settings, and never
// changes the store. Its parts are found by object name: searchField,
// dayList, itemList, dayTitle, dayCount and the empty states sidebarEmpty,
// selectDayEmpty and dayEmpty.
class ContentView : public QWidget {
    Q_OBJECT
public:
    // `pasteboard` receives copy-backs; without one, copying does nothing.
    ContentView(ClipboardStore &store, AppSettings &settings, const Theme &theme,
                Pasteboard *pasteboard, QWidget *parent = nullptr);
    ~ContentView() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void copyToPasteboard(const ClipboardItem &item);
    void openItem(const ClipboardItem &item);

    void buildSidebar();
    void buildDetail();
    void applyTheme();
    void applyRowSettings();

    void onSearchTextChanged(const QString &text);
    void onRowsInserted(int first, int last);
    void onRowsRemoved(int first, int last);
    void refreshAll();
    // Keeps the selection on a listed day; true when it changed.
    bool syncSelection();
    void showSelectionInList();
    void refreshDetail();
    void updateDetailPages();
    void onDaySelected(const QModelIndex &current);

    ClipboardStore &m_store;
    AppSettings &m_settings;
    const Theme &m_theme;
    Pasteboard *m_pasteboard;
    HistoryIndex *m_index;
    DayListModel *m_dayModel;
    DayItemsModel *m_itemModel;

    HistorySearch m_historySearch;
    // Each item's count of text lines (for the rows' heights) by store row,
    // -1 until counted: a day is listed again and again, its items counted
    // once.
    QList<qint8> m_lineCounts;
    // The store rows DayItemsModel lists, while the store has not changed.
    std::optional<QList<int>> m_shownRows;
    std::optional<QDate> m_selectedDay;
    bool m_updatingList = false;

    QSplitter *m_splitter = nullptr;
    BackdropWidget *m_sidebar = nullptr;
    BackdropWidget *m_detail = nullptr;
    QLabel *m_explorerLabel = nullptr;
    QLineEdit *m_search = nullptr;
    QStackedWidget *m_sidebarStack = nullptr;
    EmptyStateView *m_sidebarEmpty = nullptr;
    QListView *m_dayList = nullptr;
    QStackedWidget *m_detailStack = nullptr;
    EmptyStateView *m_selectEmpty = nullptr;
    QWidget *m_dayPage = nullptr;
    QLabel *m_dayTitle = nullptr;
    QLabel *m_dayCount = nullptr;
    QStackedWidget *m_itemStack = nullptr;
    EmptyStateView *m_itemsEmpty = nullptr;
    QListView *m_itemList = nullptr;
    ClipboardHistoryRow *m_rowDelegate = nullptr;
    ClipboardDetailSheet *m_sheet = nullptr;
};
