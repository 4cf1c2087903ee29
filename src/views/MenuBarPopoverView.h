// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>

#include <functional>

class ClipboardStore;
class EmptyStateView;
class MenuBarItemRow;
class Pasteboard;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QStackedWidget;
class RecentItemsModel;
class Theme;

// The content of the popover that opens from the tray icon or the global
// shortcut: the newest hundred items with a search over them, a click (or
// Enter) to put one back on the clipboard, and a footer to show or hide the
// main window and to open the settings. Its host supplies the actions it
// cannot perform itself and tells it whether the main window is visible.
class MenuBarPopoverView final : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize popoverSize{390, 540};

    MenuBarPopoverView(const Theme &theme, ClipboardStore &store, Pasteboard &pasteboard,
                       QWidget *parent = nullptr);
    ~MenuBarPopoverView() override;

    void setOnToggleMainWindow(std::function<void()> action);
    void setOnClosePopover(std::function<void()> action);
    void setOnOpenSettings(std::function<void()> action);
    void setMainWindowVisible(bool visible);

    // Starts a fresh showing: empty search, top of the list; the search
    // field takes the keyboard once the window is up.
    void prepareForShowing();

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyTheme();
    void updateStatus();
    void updateFooterTitle();
    void copyRow(int row);
    void closePopover();

    const Theme &m_theme;
    Pasteboard &m_pasteboard;
    RecentItemsModel *m_model;
    MenuBarItemRow *m_rowDelegate;

    QLabel *m_symbol;
    QLabel *m_title;
    QLabel *m_status;
    QLineEdit *m_search;
    QStackedWidget *m_listArea;
    QListView *m_list;
    EmptyStateView *m_empty;
    QPushButton *m_mainWindowButton;
    QPushButton *m_settingsButton;

    std::function<void()> m_onToggleMainWindow;
    std::function<void()> m_onClosePopover;
    std::function<void()> m_onOpenSettings;
    bool m_mainWindowVisible = false;
};
