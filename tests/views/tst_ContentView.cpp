// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ClipboardDetailSheet.h"
#include "ClipboardHistoryRow.h"
#include "ContentView.h"
#include "CopyButton.h"
#include "DayListModel.h"
#include "EmptyStateView.h"
#include "ItemTextView.h"
#include "PreviewText.h"
#include "SampleHistory.h"
#include "Theme.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

class TestContentView : public QObject {
    Q_OBJECT

    std::unique_ptr<StoreHarness> harness;
    std::unique_ptr<Theme> look;
    std::unique_ptr<ContentView> view;

    ContentView &open(const QList<ClipboardItem> &history)
    {
        view.reset();
        harness = std::make_unique<StoreHarness>();
        harness->writeHistory(history);
        harness->open();
        look = std::make_unique<Theme>(*harness->settings);
        view = std::make_unique<ContentView>(*harness->store, *harness->settings, *look,
                                             &harness->pasteboard);
        view->resize(1200, 820);
        view->show();
        return *view;
    }

    QModelIndex rowIndex(int row) const { return view->itemList()->model()->index(row, 0); }
    // The count the sidebar shows beside its `row`th day.
    QString dayCount(int row) const
    {
        return view->dayList()->model()->index(row, 0).data(DayListModel::CountTextRole).toString();
    }
    QPoint rowPoint(int row, bool onButton) const
    {
        const QRect rect = view->itemList()->visualRect(rowIndex(row));
        if (onButton)
            return view->rowDelegate()->copyButtonRect(rect).center().toPoint();
        return view->rowDelegate()->bodyRect(rect).topLeft().toPoint() + QPoint(20, 20);
    }

private Q_SLOTS:
    void cleanup()
    {
        view.reset();
        harness.reset();
    }

    void opensOnNewestDayWithCounts()
    {
        ContentView &v = open(sampleHistory());
        QCOMPARE(v.visibleDays(), (QList<QDate>{kNewest, kMiddle, kOldest}));
        QCOMPARE(v.selectedDay(), kNewest);
        QCOMPARE(v.headerTitle(), QStringLiteral("05/December/2026"));
        QCOMPARE(v.headerCount(), QStringLiteral("2 items"));
        QCOMPARE(contents(v.dayItems()), (QStringList{"  git status\n", "Hello World"}));
        const QAbstractItemModel *days = v.dayList()->model();
        QCOMPARE(days->index(0, 0).data().toString(), QStringLiteral("05/December/2026"));
        QCOMPARE(dayCount(0), QStringLiteral("2 items"));
        QCOMPARE(dayCount(1), QStringLiteral("1 item"));
        QCOMPARE(v.dayList()->currentIndex().row(), 0);
    }

    // What the two columns show under a search, and that clearing it lists
    // every day again with the selection kept. The search itself is tested
    // in tst_HistorySearch.
    void search_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<QDate>>("days"); // the first is selected
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("headerCount");
        QTest::addColumn<QString>("sidebarCount"); // of the first day, unfiltered
        QTest::addColumn<QString>("detailTitle");  // when the detail is empty

        const auto row = [](const char *name, const char *text, const QList<QDate> &days,
                            const QStringList &items, const char *header, const char *sidebar,
                            const char *detail) {
            QTest::newRow(name) << QString::fromUtf8(text) << days << items
                                << QString::fromUtf8(header) << QString::fromUtf8(sidebar)
                                << QString::fromUtf8(detail);
        };
        row("moves the selection to the match", "UNIQUE", {kMiddle}, {"a unique older snippet"},
            "1 item", "1 item", "");
        row("filters the day's items", " world ", {kNewest}, {"Hello World"}, "1 item", "2 items",
            "");
        row("month name lists a day without matching items", "november", {kOldest}, {}, "0 items",
            "1 item", "No Matches");
        row("nothing empties both columns", "zzz", {}, {}, "", "", "Select a Date");
    }
    void search()
    {
        QFETCH(QString, text);
        QFETCH(QList<QDate>, days);
        QFETCH(QStringList, items);
        QFETCH(QString, headerCount);
        QFETCH(QString, sidebarCount);
        QFETCH(QString, detailTitle);
        const QDate selected = days.value(0);
        ContentView &v = open(sampleHistory());
        v.setSearchText(text);
        QCOMPARE(v.visibleDays(), days);
        QCOMPARE(v.selectedDay().value_or(QDate()), selected);
        QCOMPARE(contents(v.dayItems()), items);
        if (!headerCount.isEmpty())
            QCOMPARE(v.headerCount(), headerCount);
        if (!sidebarCount.isEmpty())
            QCOMPARE(dayCount(0), sidebarCount);
        QCOMPARE(v.sidebarEmptyState()->isVisible(), days.isEmpty());
        QCOMPARE(v.sidebarEmptyState()->title(), QStringLiteral("No Clipboard History"));
        if (!detailTitle.isEmpty())
            QCOMPARE(v.detailEmptyState()->title(), detailTitle);
        if (detailTitle == QLatin1String("No Matches")) {
            QCOMPARE(v.detailEmptyState()->description(),
                     QStringLiteral("No clipboard items match the current search."));
            QCOMPARE(v.detailEmptyState()->symbol(), Symbol::tray);
        }

        v.setSearchText(QString());
        const QList<QDate> all{kNewest, kMiddle, kOldest};
        QCOMPARE(v.visibleDays(), all);
        if (selected.isValid()) {
            QCOMPARE(v.selectedDay(), selected);
            QCOMPARE(v.dayList()->currentIndex().row(), all.indexOf(selected));
        }
    }

    void captureAddsOneRowWithoutRebuilding()
    {
        ContentView &v = open(sampleHistory());
        QAbstractItemModelTester itemTester(v.itemList()->model());
        QAbstractItemModelTester dayTester(v.dayList()->model());
        QSignalSpy itemResets(v.itemList()->model(), &QAbstractItemModel::modelReset);
        QSignalSpy dayResets(v.dayList()->model(), &QAbstractItemModel::modelReset);
        QSignalSpy itemInserts(v.itemList()->model(), &QAbstractItemModel::rowsInserted);

        harness->store->handleCopiedText(QStringLiteral("fresh copy"));
        QCOMPARE(itemInserts.size(), 1);
        QCOMPARE(contents(v.dayItems()).first(), QStringLiteral("fresh copy"));
        QCOMPARE(v.headerCount(), QStringLiteral("3 items"));
        QCOMPARE(dayCount(0), QStringLiteral("3 items"));

        // The first copy after midnight lists a new day on top; the
        // selection stays where it was.
        v.selectDay(kMiddle);
        itemResets.clear();
        QSignalSpy dayInserts(v.dayList()->model(), &QAbstractItemModel::rowsInserted);
        harness->clock.set(localTime(2026, 12, 6, 0, 5));
        harness->store->handleCopiedText(QStringLiteral("after midnight"));
        QCOMPARE(dayInserts.size(), 1);
        QCOMPARE(v.visibleDays().first(), QDate(2026, 12, 6));
        QCOMPARE(v.selectedDay(), kMiddle);
        QCOMPARE(v.dayList()->currentIndex().data(DayListModel::DateRole).toDate(), kMiddle);
        QCOMPARE(contents(v.dayItems()), QStringList{"a unique older snippet"});
        QCOMPARE(itemResets.size(), 0);
        QCOMPARE(dayResets.size(), 0);
    }

    // Captures under a search are listed only when they match (what the
    // search remembers of them is tst_HistorySearch's).
    void captureUnderSearchListsOnlyMatches()
    {
        ContentView &v = open(sampleHistory());
        v.setSearchText(QStringLiteral("git"));
        harness->store->handleCopiedText(QStringLiteral("no match here"));
        QCOMPARE(contents(v.dayItems()), QStringList{"  git status\n"});
        harness->store->handleCopiedText(QStringLiteral("git push"));
        QCOMPARE(contents(v.dayItems()), (QStringList{"git push", "  git status\n"}));
    }

    void clearingAllEmptiesEverything()
    {
        ContentView &v = open(sampleHistory());
        harness->store->clearAll();
        QVERIFY(v.visibleDays().isEmpty());
        QVERIFY(!v.selectedDay());
        QVERIFY(v.dayItems().isEmpty());
        QCOMPARE(v.detailEmptyState()->title(), QStringLiteral("Select a Date"));
        // And the first capture afterwards selects its day.
        harness->store->handleCopiedText(QStringLiteral("again"));
        QCOMPARE(v.selectedDay(), kNewest);
        QCOMPARE(contents(v.dayItems()), QStringList{"again"});
    }

    // A click copies only on the row's button; a double click opens the
    // sheet, whose own copy keeps it open.
    void rowClicksCopyAndOpenTheSheet()
    {
        ContentView &v = open(sampleHistory());
        QWidget *viewport = v.itemList()->viewport();
        const qint64 before = harness->pasteboard.changeCount();

        QTest::mouseClick(viewport, Qt::LeftButton, {}, rowPoint(0, false));
        QCOMPARE(harness->pasteboard.changeCount(), before);
        QVERIFY(!v.presentedItem());

        QTest::mouseClick(viewport, Qt::LeftButton, {}, rowPoint(0, true));
        QCOMPARE(harness->pasteboard.stringForType(),
                 std::optional<QString>(QStringLiteral("  git status\n")));
        QVERIFY(!v.presentedItem());
        QVERIFY(!v.sheet()->isVisible());

        QTest::mouseDClick(viewport, Qt::LeftButton, {}, rowPoint(1, false));
        QVERIFY(v.presentedItem());
        QCOMPARE(v.presentedItem()->content, QStringLiteral("Hello World"));
        ClipboardDetailSheet *sheet = v.sheet();
        QVERIFY(sheet->isVisible());
        QCOMPARE(sheet->windowModality(), Qt::WindowModal);
        QVERIFY(sheet->width() >= 700 && sheet->height() >= 500);
        QCOMPARE(sheet->textView()->text().toString(), QStringLiteral("Hello World"));

        QTest::mouseClick(sheet->findChild<QWidget *>(QStringLiteral("copyButton")),
                          Qt::LeftButton);
        QCOMPARE(harness->pasteboard.stringForType(),
                 std::optional<QString>(QStringLiteral("Hello World")));
        QVERIFY(sheet->isVisible());
        QVERIFY(v.presentedItem());

        QTest::mouseClick(sheet->findChild<QWidget *>(QStringLiteral("closeButton")),
                          Qt::LeftButton);
        QVERIFY(!sheet->isVisible());
        QVERIFY(!v.presentedItem());
    }

    void keyboardReachesCopiesAndOpensRows()
    {
        ContentView &v = open(sampleHistory());
        v.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&v));
        auto *search = v.findChild<QLineEdit *>(QStringLiteral("searchField"));
        auto *days = v.findChild<QListView *>(QStringLiteral("dayList"));
        auto *items = v.findChild<QListView *>(QStringLiteral("itemList"));
        search->setFocus();
        QTest::keyClick(search, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), days);
        QTest::keyClick(days, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), items);
        QCOMPARE(items->currentIndex().row(), 0);

        QTest::keyClick(items, Qt::Key_Down);
        QTest::keyClick(items, Qt::Key_Return);
        QCOMPARE(harness->pasteboard.stringForType(),
                 std::optional<QString>(QStringLiteral("Hello World")));
        QVERIFY(!v.sheet()->isVisible());

        QTest::keyClick(items, Qt::Key_Space);
        QVERIFY(v.sheet()->isVisible());
        QCOMPARE(v.presentedItem()->content, QStringLiteral("Hello World"));
        QTest::keyClick(v.sheet(), Qt::Key_Escape);
        QVERIFY(!v.sheet()->isVisible());

        // Left to the days and Right back, on the same row; a modified
        // Return is not a copy.
        QTest::keyClick(items, Qt::Key_Left);
        QCOMPARE(QApplication::focusWidget(), days);
        QTest::keyClick(days, Qt::Key_Right);
        QCOMPARE(QApplication::focusWidget(), items);
        QTest::keyClick(items, Qt::Key_Up);
        const qint64 before = harness->pasteboard.changeCount();
        QTest::keyClick(items, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(harness->pasteboard.changeCount(), before);
        QTest::keyClick(items, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(harness->pasteboard.stringForType(),
                 std::optional<QString>(QStringLiteral("  git status\n")));
    }

    void rowsWithTheSameIdStayApart()
    {
        // An imported history may hold two items with one id; each row keeps
        // its own height, hover, copy and sheet.
        const ClipboardItem tall =
            makeItem(QStringLiteral("one\ntwo\nthree\nfour"), localTime(2026, 12, 5, 10, 0));
        const ClipboardItem shortOne{tall.id, QStringLiteral("short"),
                                     localTime(2026, 12, 5, 9, 0)};
        ContentView &v = open({tall, shortOne});
        harness->settings->setPreviewLineCount(PreviewLineCount::five);
        QTRY_VERIFY(v.itemList()->visualRect(rowIndex(0)).height() >
                    v.itemList()->visualRect(rowIndex(1)).height());

        QWidget *viewport = v.itemList()->viewport();
        QTest::mouseMove(viewport, QPoint(1, 1));
        QTest::mouseMove(viewport, rowPoint(1, false));
        const quint64 first = rowIndex(0).data(ClipboardHistoryRow::RowKeyRole).toULongLong();
        const quint64 second = rowIndex(1).data(ClipboardHistoryRow::RowKeyRole).toULongLong();
        QTRY_COMPARE(v.rowDelegate()->hoverLevel(second), 1.0);
        QCOMPARE(v.rowDelegate()->hoverLevel(first), 0.0);

        QTest::mouseClick(viewport, Qt::LeftButton, {}, rowPoint(1, true));
        QCOMPARE(harness->pasteboard.stringForType(),
                 std::optional<QString>(shortOne.content.toString()));
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, rowPoint(1, false));
        QCOMPARE(v.presentedItem()->content, shortOne.content);
        v.sheet()->reject();
    }

    void previewLimitsLinesAndLaysOutOnlyAPrefix()
    {
        QFont font(QStringLiteral("monospace"));
        font.setPixelSize(14);
        QStringList lines;
        for (int i = 0; i < 10; ++i)
            lines.append(QStringLiteral("line %1").arg(i));
        const PreviewText three(lines.join(u'\n'), QString(), font, 600, 3);
        QCOMPARE(three.lineCount(), 3);
        QVERIFY(three.isTruncated());
        const PreviewText all(lines.join(u'\n'), QString(), font, 600, 10);
        QCOMPARE(all.lineCount(), 10);
        QVERIFY(!all.isTruncated());

        const QString huge(20 * 1024 * 1024, QLatin1Char('x'));
        const PreviewText big(huge, QStringLiteral("x"), font, 600, 10);
        QCOMPARE(big.lineCount(), 10);
        QVERIFY(big.isTruncated());
        QVERIFY(big.laidOutText().size() < 10000);
    }

    // A row converts only a prefix of an item's text; what it lays out and
    // whether it ends in an ellipsis are as for the whole text, also when
    // the text ends right at the prefix or a character of two code units
    // straddles its end. (Zero-width spaces fit on one line however many
    // there are, so only the cut can call for the ellipsis on that line.)
    void previewOfAnItemConvertsOnlyAPrefix_data()
    {
        QTest::addColumn<QString>("filler");
        QTest::addColumn<qsizetype>("fillers"); // relative to the prefix limit
        QTest::addColumn<QString>("rest");
        QTest::addColumn<bool>("truncated");
        for (const QString &filler : {u"\u200B"_qs, u"x"_qs}) {
            const bool wide = filler == u"x"_qs;
            const auto row = [&](const char *name) -> QTestData & {
                return QTest::addRow("%s, %s", wide ? "wide" : "zero width", name) << filler;
            };
            row("ends before the limit") << qsizetype(-1) << QString() << wide;
            row("ends at the limit") << qsizetype(0) << QString() << wide;
            row("one character more") << qsizetype(0) << u"y"_qs << true;
            row("a pair across the limit") << qsizetype(-1) << u"𐐀y"_qs << true;
            row("a pair after the limit") << qsizetype(0) << u"𐐀"_qs << true;
        }
    }
    void previewOfAnItemConvertsOnlyAPrefix()
    {
        QFETCH(QString, filler);
        QFETCH(qsizetype, fillers);
        QFETCH(QString, rest);
        QFETCH(bool, truncated);
        QFont font(QStringLiteral("monospace"));
        font.setPixelSize(14);
        const qsizetype limit = PreviewText::prefixLimit(font, 300, 1);
        const QString text = filler.repeated(limit + fillers) + rest;
        const PreviewText whole(text, u"Y"_qs, font, 300, 1);
        const PreviewText item(ItemText(text), u"Y"_qs, font, 300, 1);
        QCOMPARE(whole.isTruncated(), truncated);
        QCOMPARE(item.isTruncated(), truncated);
        QCOMPARE(item.laidOutText(), whole.laidOutText());
        QCOMPARE(item.height(), whole.height());
    }
};

QTEST_MAIN(TestContentView)
#include "tst_ContentView.moc"
