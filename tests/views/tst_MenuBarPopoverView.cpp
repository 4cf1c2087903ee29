// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "MenuBarItemRow.h"
#include "MenuBarPopoverView.h"
#include "RecentItemsModel.h"
#include "StoreHarness.h"
#include "TextMatcher.h"
#include "Theme.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

namespace {

// 150 items, newest first; a few with contents the searches look for.
QList<ClipboardItem> sampleItems(int count)
{
    QList<ClipboardItem> items;
    const QDateTime newest(QDate(2026, 12, 5), QTime(20, 0), Qt::UTC);
    for (int i = 0; i < count; ++i) {
        QString content = QStringLiteral("entry %1").arg(i);
        if (i == 3)
            content = QStringLiteral("xabcx");
        else if (i == 7)
            content = QStringLiteral("  foo\nXaBcY  ");
        else if (i == 120)
            content = QStringLiteral("needle beyond the hundred");
        items.append(makeItem(content, newest.addSecs(-60 * i)));
    }
    return items;
}

struct Popover {
    explicit Popover(int itemCount)
    {
        harness.writeHistory(sampleItems(itemCount));
        harness.open();
        theme = std::make_unique<Theme>(*harness.settings);
        view = std::make_unique<MenuBarPopoverView>(*theme, *harness.store, harness.pasteboard);
        view->setOnClosePopover([this] { actions.append(QStringLiteral("close")); });
        view->setOnToggleMainWindow([this] { actions.append(QStringLiteral("toggle")); });
        view->prepareForShowing();
    }
    void show()
    {
        view->show();
        QVERIFY(QTest::qWaitForWindowActive(view.get()));
        QTRY_VERIFY(search()->hasFocus());
    }
    [[nodiscard]] QLineEdit *search() const { return view->findChild<QLineEdit *>(); }
    [[nodiscard]] QListView *list() const { return view->findChild<QListView *>(); }
    [[nodiscard]] QString status() const
    {
        return view->findChild<QLabel *>(QStringLiteral("statusLine"))->text();
    }
    [[nodiscard]] QStringList shownContents() const
    {
        QStringList contents;
        for (int row = 0; row < list()->model()->rowCount(); ++row)
            contents.append(list()
                                ->model()
                                ->index(row, 0)
                                .data(RecentItemsModel::ItemRole)
                                .value<ClipboardItem>()
                                .content.toString());
        return contents;
    }

    StoreHarness harness;
    std::unique_ptr<Theme> theme;
    std::unique_ptr<MenuBarPopoverView> view;
    QStringList actions;
};

} // namespace

class TestMenuBarPopoverView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void listsAndSearchesTheNewestHundred_data()
    {
        QTest::addColumn<int>("storeSize");
        QTest::addColumn<QString>("search");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("status");

        QTest::newRow("150 items: the newest 100") << 150 << "" << 100 << "100 recent items";
        QTest::newRow("upper case finds lower case") << 150 << "ABC" << 2 << "Searching 2 matches";
        QTest::newRow("spaces only: every recent item")
            << 150 << "   " << 100 << "Searching 100 matches";
        QTest::newRow("the 121st item is never searched")
            << 150 << "needle" << 0 << "Searching 0 matches";
    }

    void listsAndSearchesTheNewestHundred()
    {
        QFETCH(int, storeSize);
        QFETCH(QString, search);
        QFETCH(int, rows);
        QFETCH(QString, status);

        Popover popover(storeSize);
        popover.search()->setText(search);
        QCOMPARE(popover.shownContents().size(), rows);
        QCOMPARE(popover.status(), status);
        // The list keeps the store's order, newest first.
        const QStringList shown = popover.shownContents();
        if (search.isEmpty() && rows > 0) {
            QCOMPARE(shown.first(), QStringLiteral("entry 0"));
            QCOMPARE(shown.last(), QStringLiteral("entry %1").arg(rows - 1));
        }
        if (search == QLatin1String("ABC"))
            QCOMPARE(shown, QStringList({"xabcx", "  foo\nXaBcY  "}));
        // The empty state replaces the list exactly when nothing is shown.
        QCOMPARE(popover.list()->isVisibleTo(popover.view.get()), rows > 0);
    }

    void followsTheStore()
    {
        Popover popover(100);
        popover.harness.copy(QStringLiteral("fresh copy"));
        QCOMPARE(popover.status(), QStringLiteral("100 recent items"));
        QCOMPARE(popover.shownContents().first(), QStringLiteral("fresh copy"));
        QCOMPARE(popover.shownContents().last(), QStringLiteral("entry 98"));

        // What is searched shifted with the list.
        popover.search()->setText(QStringLiteral("ENTRY 98"));
        QCOMPARE(popover.shownContents(), QStringList{QStringLiteral("entry 98")});
        popover.search()->clear();

        popover.harness.store->clearAll();
        QCOMPARE(popover.status(), QStringLiteral("0 recent items"));
    }

    // Typing on narrows among the rows an earlier query matched and typing back
    // reuses its answer; neither may differ from the rule applied afresh, also
    // after a capture and for a text too long to be kept folded.
    void typingOnAndBackFindsWhatTheRuleFinds()
    {
        Popover popover(10);
        const QString long1 = QStringLiteral("Grüße ").repeated(200000) + QStringLiteral("ΣΟΦΟΣ");
        popover.harness.pasteboard.copy(long1);
        popover.harness.store->pollPasteboard();
        const auto expected = [&](const QString &search) {
            const TextMatcher matcher(search);
            QStringList contents;
            for (const ClipboardItem &item : popover.harness.store->items())
                if (matcher.matches(item.content.toString()))
                    contents.append(item.content.toString());
            return contents;
        };
        const QStringList typed{u"g"_qs,       u"gr"_qs,    u"grü"_qs,    u"GRÜSSE"_qs,  u"grü"_qs,
                                u"e"_qs,       u"en"_qs,    u"ent"_qs,    u"entry 1"_qs, u"en"_qs,
                                u"σ"_qs,       u"σοφος"_qs, u"σοφοςx"_qs, u"x"_qs,       u"xa"_qs,
                                u"capture"_qs, u"e"_qs,     u"entry"_qs};
        for (const QString &search : typed) {
            if (search == u"capture"_qs) {
                // A new item that earlier answers know nothing of.
                popover.harness.pasteboard.copy(QStringLiteral("Entry σοφος grü"));
                popover.harness.store->pollPasteboard();
                continue;
            }
            popover.search()->setText(search);
            QCOMPARE(popover.shownContents(), expected(search));
        }
    }

    // Copying from the list and Escape are test_tray's.
    void keyboardMovesBetweenSearchAndList()
    {
        Popover popover(20);
        popover.show();
        // Return in the search copies nothing and closes nothing.
        const qint64 before = popover.harness.pasteboard.changeCount();
        QTest::keyClicks(popover.search(), QStringLiteral("xabcx"));
        QTest::keyClick(popover.search(), Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(popover.harness.pasteboard.changeCount(), before);
        QVERIFY(popover.actions.isEmpty());

        popover.search()->clear();
        QTest::keyClicks(popover.search(), QStringLiteral("entry 1"));

        QTest::keyClick(popover.search(), Qt::Key_Down);
        QVERIFY(popover.list()->hasFocus());
        QCOMPARE(popover.list()->currentIndex().row(), 0);
        QTest::keyClick(popover.list(), Qt::Key_Down);
        QTest::keyClick(popover.list(), Qt::Key_Up);
        QTest::keyClick(popover.list(), Qt::Key_Up);
        QVERIFY(popover.search()->hasFocus());
        QCOMPARE(popover.search()->text(), QStringLiteral("entry 1"));

        // Typing in the list goes on with the search.
        QTest::keyClick(popover.search(), Qt::Key_Down);
        QTest::keyClicks(popover.list(), QStringLiteral("2"));
        QVERIFY(popover.search()->hasFocus());
        QCOMPARE(popover.search()->text(), QStringLiteral("entry 12"));
    }

    // The settings link opens the settings window and gets the popup (which
    // holds pointer and keyboard) out of its way. The main-window button is
    // test_tray's.
    void settingsLinkActsThenCloses()
    {
        Popover popover(3);
        popover.view->setOnOpenSettings(
            [&] { popover.actions.append(QStringLiteral("settings")); });
        popover.view->findChild<QPushButton *>(QStringLiteral("settingsLink"))->click();
        QCOMPARE(popover.actions, QStringList({"settings", "close"}));
    }
};

QTEST_MAIN(TestMenuBarPopoverView)
#include "tst_MenuBarPopoverView.moc"
