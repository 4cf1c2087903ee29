// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "MenuBarPopoverView.h"

#include "ClipboardStore.h"
#include "EmptyStateView.h"
#include "MenuBarItemRow.h"
#include "Pasteboard.h"
#include "RecentItemsModel.h"
#include "Symbols.h"
#include "Theme.h"

#include <QCoreApplication>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

void setShadow(QWidget *widget, bool aurora, const QColor &accent, qreal opacity, qreal radius,
               qreal dy)
{
    if (!aurora) {
        widget->setGraphicsEffect(nullptr);
        return;
    }
    auto *shadow = new QGraphicsDropShadowEffect(widget);
    QColor color = accent;
    color.setAlphaF(float(opacity));
    shadow->setColor(color);
    shadow->setBlurRadius(radius * 2); // Qt's blur radius spans the whole fade
    shadow->setOffset(0, dy);
    widget->setGraphicsEffect(shadow);
}

} // namespace

MenuBarPopoverView::MenuBarPopoverView(const Theme &theme, ClipboardStore &store,
                                       Pasteboard &pasteboard, QWidget *parent)
    : QWidget(parent), m_theme(theme), m_pasteboard(pasteboard),
      m_model(new RecentItemsModel(store, this)), m_rowDelegate(new MenuBarItemRow(theme, this)),
      m_symbol(new QLabel(this)), m_title(new QLabel(tr("Quillmark"), this)),
      m_status(new QLabel(this)), m_search(new QLineEdit(this)),
      m_listArea(new QStackedWidget(this)), m_list(new QListView(m_listArea)),
      m_empty(new EmptyStateView(theme, m_listArea)), m_mainWindowButton(new QPushButton(this)),
      m_settingsButton(new QPushButton(tr("Settings"), this))
{
    setFixedSize(popoverSize);
    m_search->setObjectName(QStringLiteral("searchField"));
    m_list->setObjectName(QStringLiteral("recentList"));
    m_status->setObjectName(QStringLiteral("statusLine"));
    m_mainWindowButton->setObjectName(QStringLiteral("mainWindowButton"));
    m_settingsButton->setObjectName(QStringLiteral("settingsLink"));
    setWindowTitle(tr("Clipboard History"));

    QFont headline = font();
    headline.setPointSizeF(13);
    headline.setBold(true);
    m_title->setFont(headline);
    QFont caption = font();
    caption.setPointSizeF(10);
    m_status->setFont(caption);

    auto *titleRow = new QHBoxLayout;
    titleRow->setSpacing(8);
    titleRow->addWidget(m_symbol);
    titleRow->addWidget(m_title);
    titleRow->addStretch();
    auto *header = new QVBoxLayout;
    header->setSpacing(4);
    header->addLayout(titleRow);
    header->addWidget(m_status);

    m_search->setPlaceholderText(tr("Search from recent 100 items"));
    m_search->setClearButtonEnabled(true);
    // The field's one tool button is its clear button.
    for (QToolButton *button : m_search->findChildren<QToolButton *>())
        button->setAccessibleName(QStringLiteral("Clear search"));
    m_search->installEventFilter(this);
    connect(m_search, &QLineEdit::textChanged, m_model, &RecentItemsModel::setSearchText);

    m_search->setAccessibleName(m_search->placeholderText());
    m_list->setAccessibleName(tr("Recent items"));
    m_list->setModel(m_model);
    m_list->setItemDelegate(m_rowDelegate);
    m_list->setUniformItemSizes(true);
    m_list->setMouseTracking(true);
    m_list->viewport()->setAttribute(Qt::WA_Hover);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->verticalScrollBar()->setSingleStep(12);
    m_list->setAutoFillBackground(false);
    m_list->viewport()->setAutoFillBackground(false);
    m_list->setStyleSheet(QStringLiteral("QListView { background: transparent; }"));
    m_list->installEventFilter(this);
    connect(m_list, &QListView::clicked, this,
            [this](const QModelIndex &index) { copyRow(index.row()); });

    m_empty->setContent(Symbol::starHexagonFill, tr("No Matches"), tr("Try a different search."));
    m_listArea->addWidget(m_list);
    m_listArea->addWidget(m_empty);

    connect(m_mainWindowButton, &QPushButton::clicked, this, [this] {
        if (m_onToggleMainWindow)
            m_onToggleMainWindow();
        closePopover();
    });
    connect(m_settingsButton, &QPushButton::clicked, this, [this] {
        if (m_onOpenSettings)
            m_onOpenSettings();
        // The popup holds the pointer and keyboard: leave the settings
        // window to the user.
        closePopover();
    });
    for (QPushButton *button : {m_mainWindowButton, m_settingsButton}) {
        button->setCursor(Qt::PointingHandCursor);
        button->setAutoDefault(false);
    }
    auto *footer = new QHBoxLayout;
    footer->addWidget(m_mainWindowButton);
    footer->addStretch();
    footer->addWidget(m_settingsButton);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(12);
    layout->addLayout(header);
    layout->addWidget(m_search);
    layout->addWidget(m_listArea, 1);
    layout->addLayout(footer);

    connect(m_model, &RecentItemsModel::statusChanged, this, &MenuBarPopoverView::updateStatus);
    connect(&m_theme, &Theme::changed, this, &MenuBarPopoverView::applyTheme);
    applyTheme();
    updateStatus();
    updateFooterTitle();
}

MenuBarPopoverView::~MenuBarPopoverView() = default;

void MenuBarPopoverView::setOnToggleMainWindow(std::function<void()> action)
{
    m_onToggleMainWindow = std::move(action);
}

void MenuBarPopoverView::setOnClosePopover(std::function<void()> action)
{
    m_onClosePopover = std::move(action);
}

void MenuBarPopoverView::setOnOpenSettings(std::function<void()> action)
{
    m_onOpenSettings = std::move(action);
}

void MenuBarPopoverView::setMainWindowVisible(bool visible)
{
    m_mainWindowVisible = visible;
    updateFooterTitle();
}

void MenuBarPopoverView::prepareForShowing()
{
    m_search->clear();
    m_list->scrollToTop();
    m_list->setCurrentIndex({});
}

void MenuBarPopoverView::applyTheme()
{
    const bool aurora = m_theme.isAurora();
    const QColor accent = m_theme.accent();
    m_theme.applyTo(this);

    m_symbol->setPixmap(Symbols::pixmap(Symbol::starHexagonFill, 18, accent, devicePixelRatioF()));
    QPalette secondary = m_status->palette();
    secondary.setColor(QPalette::WindowText, m_theme.secondaryText());
    m_status->setPalette(secondary);

    // A filled ("prominent") button and a tinted ("bordered") one.
    m_mainWindowButton->setStyleSheet(m_theme.buttonStyleSheet(
        Theme::ButtonStyle::filled, std::nullopt, Theme::Surface::popover));
    m_settingsButton->setStyleSheet(m_theme.buttonStyleSheet(
        Theme::ButtonStyle::bordered, std::nullopt, Theme::Surface::popover));
    setShadow(m_mainWindowButton, aurora, accent, 0.2, 10, 4);
    setShadow(m_settingsButton, aurora, accent, 0.12, 8, 2);

    m_list->viewport()->update();
    update();
}

void MenuBarPopoverView::updateStatus()
{
    m_status->setText(m_model->statusLine());
    m_listArea->setCurrentIndex(m_model->rowCount() == 0 ? 1 : 0);
}

void MenuBarPopoverView::updateFooterTitle()
{
    m_mainWindowButton->setText(m_mainWindowVisible ? tr("Hide Dock App") : tr("Open Dock App"));
}

void MenuBarPopoverView::copyRow(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    m_pasteboard.writeBack(m_model->itemAt(row).content.toString());
    // Closed once the click (or key press) that asked for it is handled.
    QMetaObject::invokeMethod(this, &MenuBarPopoverView::closePopover, Qt::QueuedConnection);
}

void MenuBarPopoverView::closePopover()
{
    if (m_onClosePopover)
        m_onClosePopover();
}

void MenuBarPopoverView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Appearance::paintBackdrop(&painter, QRectF(rect()), m_theme.backdrop(Theme::Surface::popover));
    // A hairline edge keeps the popover apart from whatever lies behind it.
    if (isWindow()) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(m_theme.separator());
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void MenuBarPopoverView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // After the window is up and has the keyboard, not during the show.
    QTimer::singleShot(0, this, [this] {
        activateWindow();
        m_search->setFocus(Qt::PopupFocusReason);
    });
}

void MenuBarPopoverView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        closePopover();
        return;
    }
    // Return in the search field (which passes it on) does nothing.
    QWidget::keyPressEvent(event);
    event->accept();
}

bool MenuBarPopoverView::eventFilter(QObject *watched, QEvent *event)
{
    // Tab from the search lands on the first row, shown as the keyboard's.
    if (watched == m_list && event->type() == QEvent::FocusIn &&
        !m_list->currentIndex().isValid() && m_model->rowCount() > 0)
        m_list->setCurrentIndex(m_model->index(0));
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Escape) {
        closePopover();
        return true;
    }
    if (watched == m_search && key->key() == Qt::Key_Down && m_model->rowCount() > 0) {
        m_list->setFocus(Qt::TabFocusReason);
        m_list->setCurrentIndex(m_model->index(0));
        return true;
    }
    if (watched == m_list) {
        const QModelIndex current = m_list->currentIndex();
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && current.isValid()) {
            copyRow(current.row());
            return true;
        }
        if (key->key() == Qt::Key_Up && (!current.isValid() || current.row() == 0)) {
            m_search->setFocus(Qt::OtherFocusReason);
            return true;
        }
        // Typing while in the list goes on with the search.
        const QString text = key->text();
        if (!text.isEmpty() && text.at(0).isPrint() &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            m_search->setFocus(Qt::OtherFocusReason);
            QKeyEvent forwarded(QEvent::KeyPress, key->key(), key->modifiers(), text);
            QCoreApplication::sendEvent(m_search, &forwarded);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
