// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ClipboardDetailSheet.h"
#include "ClipboardHistoryRow.h"
#include "ContentView.h"
#include "DayListModel.h"
#include "EmptyStateView.h"
#include "ItemTextView.h"
#include "PreviewText.h"
#include "SampleHistory.h"
#include "Theme.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
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

    // The parts as the user meets them.
    template <typename Part = QListView> Part *part(const char *name) const
    {
        return view->findChild<Part *>(QLatin1String(name));
    }
    QListView *days() const { return part("dayList"); }
    QListView *items() const { return part("itemList"); }
    ClipboardDetailSheet *sheet() const { return view->findChild<ClipboardDetailSheet *>(); }
    // What a list shows in `role`, row by row.
    template <typename T> QList<T> column(QListView *list, int role) const
    {
        QList<T> values;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            values.append(list->model()->index(row, 0).data(role).value<T>());
        return values;
    }
    QList<QDate> shownDays() const { return column<QDate>(days(), DayListModel::DateRole); }
    QStringList shownItems() const { return column<QString>(items(), Qt::DisplayRole); }
    // The count the sidebar shows beside its `row`th day.
    QString dayCount(int row) const
    {
        return column<QString>(days(), DayListModel::CountTextRole).value(row);
    }
    QDate selectedDay() const
    {
        return days()->currentIndex().data(DayListModel::DateRole).toDate();
    }
    // The day's title or count in the detail header, empty when not shown.
    QString header(const char *name) const
    {
        const auto *label = part<QLabel>(name);
        return label->isVisible() ? label->text() : QString();
    }
    // The title of the empty state the detail column shows, if any.
    QString detailEmptyTitle() const
    {
        for (const char *name : {"selectDayEmpty", "dayEmpty"})
            if (part<EmptyStateView>(name)->isVisible())
                return part<EmptyStateView>(name)->title();
        return {};
    }
    void setSearch(const QString &text) const { part<QLineEdit>("searchField")->setText(text); }
    // What the open sheet shows, or nothing when it is closed.
    std::optional<QString> sheetText() const
    {
        if (!sheet()->isVisible())
            return std::nullopt;
        return sheet()->findChild<ItemTextView *>()->text().toString();
    }
    QModelIndex rowIndex(int row) const { return items()->model()->index(row, 0); }
    QPoint rowPoint(int row, bool onButton) const
    {
        const auto *delegate = qobject_cast<ClipboardHistoryRow *>(items()->itemDelegate());
        const QRect rect = items()->visualRect(rowIndex(row));
        if (onButton)
            return delegate->copyButtonRect(rect).center().toPoint();
        return delegate->bodyRect(rect).topLeft().toPoint() + QPoint(20, 20);
    }

private Q_SLOTS:
    void cleanup()
    {
        view.reset();
        harness.reset();
    }

    // What the two columns show at first and under a search, and that
    // clearing it lists every day again with the selection kept. The search itself is tested
    // in tst_HistorySearch.
    void search_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<QDate>>("expectedDays"); // the first is selected
        QTest::addColumn<QStringList>("expectedItems");
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
        row("none: the newest day", "", {kNewest, kMiddle, kOldest},
            {"  git status\n", "Hello World"}, "2 items", "2 items", "");
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
        QFETCH(QList<QDate>, expectedDays);
        QFETCH(QStringList, expectedItems);
        QFETCH(QString, headerCount);
        QFETCH(QString, sidebarCount);
        QFETCH(QString, detailTitle);
        const QDate selected = expectedDays.value(0);
        open(sampleHistory());
        setSearch(text);
        QCOMPARE(shownDays(), expectedDays);
        QCOMPARE(selectedDay(), selected);
        QCOMPARE(shownItems(), expectedItems);
        // The header names the day as the sidebar does.
        QCOMPARE(header("dayTitle"), days()->currentIndex().data().toString());
        if (!headerCount.isEmpty())
            QCOMPARE(header("dayCount"), headerCount);
        if (!sidebarCount.isEmpty())
            QCOMPARE(dayCount(0), sidebarCount);
        QCOMPARE(part<QWidget>("sidebarEmpty")->isVisible(), expectedDays.isEmpty());
        if (!detailTitle.isEmpty())
            QCOMPARE(detailEmptyTitle(), detailTitle);

        setSearch(QString());
        const QList<QDate> all{kNewest, kMiddle, kOldest};
        QCOMPARE(shownDays(), all);
        if (selected.isValid())
            QCOMPARE(selectedDay(), selected);
    }

    void captureAddsOneRowWithoutRebuilding()
    {
        open(sampleHistory());
        QAbstractItemModelTester itemTester(items()->model());
        QAbstractItemModelTester dayTester(days()->model());
        QSignalSpy itemResets(items()->model(), &QAbstractItemModel::modelReset);
        QSignalSpy dayResets(days()->model(), &QAbstractItemModel::modelReset);
        QSignalSpy itemInserts(items()->model(), &QAbstractItemModel::rowsInserted);

        harness->store->handleCopiedText(QStringLiteral("fresh copy"));
        QCOMPARE(itemInserts.size(), 1);
        QCOMPARE(shownItems().first(), QStringLiteral("fresh copy"));
        QCOMPARE(header("dayCount"), QStringLiteral("3 items"));
        QCOMPARE(dayCount(0), QStringLiteral("3 items"));

        // The first copy after midnight lists a new day on top; the
        // selection stays where it was.
        days()->setCurrentIndex(days()->model()->index(shownDays().indexOf(kMiddle), 0));
        itemResets.clear();
        QSignalSpy dayInserts(days()->model(), &QAbstractItemModel::rowsInserted);
        harness->clock.set(localTime(2026, 12, 6, 0, 5));
        harness->store->handleCopiedText(QStringLiteral("after midnight"));
        QCOMPARE(dayInserts.size(), 1);
        QCOMPARE(shownDays().first(), QDate(2026, 12, 6));
        QCOMPARE(selectedDay(), kMiddle);
        QCOMPARE(shownItems(), QStringList{"a unique older snippet"});
        QCOMPARE(itemResets.size(), 0);
        QCOMPARE(dayResets.size(), 0);
    }

    void clearingAllEmptiesEverything()
    {
        open(sampleHistory());
        harness->store->clearAll();
        QVERIFY(shownDays().isEmpty());
        QVERIFY(!selectedDay().isValid());
        QVERIFY(shownItems().isEmpty());
        QCOMPARE(detailEmptyTitle(), QStringLiteral("Select a Date"));
        // And the first capture afterwards selects its day.
        harness->store->handleCopiedText(QStringLiteral("again"));
        QCOMPARE(selectedDay(), kNewest);
        QCOMPARE(shownItems(), QStringList{"again"});
    }

    // A click copies only on the row's button; a double click opens the
    // sheet, whose own copy keeps it open.
    void rowClicksCopyAndOpenTheSheet()
    {
        open(sampleHistory());
        QWidget *viewport = items()->viewport();
        const qint64 before = harness->pasteboard.changeCount();

        QTest::mouseClick(viewport, Qt::LeftButton, {}, rowPoint(0, false));
        QCOMPARE(harness->pasteboard.changeCount(), before);
        QVERIFY(!sheetText());

        QTest::mouseClick(viewport, Qt::LeftButton, {}, rowPoint(0, true));
        QCOMPARE(harness->pasteboard.stringForType(),
                 std::optional<QString>(QStringLiteral("  git status\n")));
        QVERIFY(!sheetText());

        QTest::mouseDClick(viewport, Qt::LeftButton, {}, rowPoint(1, false));
        QCOMPARE(sheetText(), QStringLiteral("Hello World"));

        QTest::mouseClick(sheet()->findChild<QWidget *>(QStringLiteral("copyButton")),
                          Qt::LeftButton);
        QCOMPARE(harness->pasteboard.stringForType(),
                 std::optional<QString>(QStringLiteral("Hello World")));
        QVERIFY(sheetText());

        QTest::mouseClick(sheet()->findChild<QWidget *>(QStringLiteral("closeButton")),
                          Qt::LeftButton);
        QVERIFY(!sheetText());
    }

    void rowsWithTheSameIdStayApart()
    {
        // An imported history may hold two items with one id; each row keeps
        // its own height, hover, copy and sheet.
        const ClipboardItem tall =
            makeItem(QStringLiteral("one\ntwo\nthree\nfour"), localTime(2026, 12, 5, 10, 0));
        const ClipboardItem shortOne{tall.id, QStringLiteral("short"),
                                     localTime(2026, 12, 5, 9, 0)};
        open({tall, shortOne, makeItem(u"zzz"_qs, localTime(2026, 12, 5, 8, 0))});
        harness->settings->setPreviewLineCount(PreviewLineCount::five);
        QTRY_VERIFY(items()->visualRect(rowIndex(0)).height() >
                    items()->visualRect(rowIndex(1)).height());

        QWidget *viewport = items()->viewport();
        QTest::mouseMove(viewport, QPoint(1, 1));
        QTest::mouseMove(viewport, rowPoint(1, false));
        const quint64 first = rowIndex(0).data(ClipboardHistoryRow::RowKeyRole).toULongLong();
        const quint64 second = rowIndex(1).data(ClipboardHistoryRow::RowKeyRole).toULongLong();
        const auto *delegate = qobject_cast<ClipboardHistoryRow *>(items()->itemDelegate());
        QTRY_COMPARE(delegate->hoverLevel(second), 1.0);
        QCOMPARE(delegate->hoverLevel(first), 0.0);
        // A search that lists both again (not the third) gives them new
        // keys; the row under the resting pointer stays hovered instead of
        // fading in anew. A search that lists the same rows keeps the
        // keyboard's current row.
        QCursor::setPos(viewport->mapToGlobal(rowPoint(1, false)));
        setSearch(u"o"_qs);
        QCoreApplication::processEvents();
        QCOMPARE(
            delegate->hoverLevel(rowIndex(1).data(ClipboardHistoryRow::RowKeyRole).toULongLong()),
            1.0);
        items()->setCurrentIndex(rowIndex(1));
        setSearch(u"O"_qs);
        QCOMPARE(items()->currentIndex().row(), 1);

        QTest::mouseClick(viewport, Qt::LeftButton, {}, rowPoint(1, true));
        QCOMPARE(harness->pasteboard.stringForType(),
                 std::optional<QString>(shortOne.content.toString()));
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, rowPoint(1, false));
        QCOMPARE(sheetText(), shortOne.content.toString());
        sheet()->reject();
    }

    void previewLimitsLines()
    {
        QFont font(QStringLiteral("monospace"));
        font.setPixelSize(14);
        QStringList lines;
        for (int i = 0; i < 10; ++i)
            lines.append(QStringLiteral("line %1").arg(i));
        const QString huge(20 * 1024 * 1024, QLatin1Char('x'));
        QCOMPARE(PreviewText(huge, QStringLiteral("x"), font, 600, 10).lineCount(), 10);

        // Before a row is laid out, its height comes from its line breaks
        // alone; that is the height painted while no line wraps.
        const QString breaks = u"a\r\nb\rc\u2028d\u2029e\nf"_qs;
        QCOMPARE(PreviewText::lineCountOf(ItemText(breaks), 10), 6);
        for (const QString &text : {u"tail\n"_qs, QString(), lines.join(u"\r\n"_qs)}) {
            const ItemText item(text);
            for (int most : {1, 3, 5, 10}) {
                const PreviewText preview(item, QString(), font, 600, most);
                QCOMPARE(preview.lineCount(), PreviewText::lineCountOf(item, most));
                QCOMPARE(preview.height(),
                         PreviewText::heightOf(preview.lineCount(), PreviewText::lineHeight(font)));
            }
        }
    }

    void longLineWrapsInItsRow()
    {
        // Once shown, a row is as tall as its text laid out: a line that
        // wraps fills as many lines as three line breaks would. A search
        // that lists it among other rows sizes it so at once, before any
        // paint.
        open({makeItem(u"word "_qs.repeated(400), localTime(2026, 12, 5, 10, 0)),
              makeItem(u"one\ntwo\nthree\nfour"_qs, localTime(2026, 12, 5, 9, 0)),
              makeItem(u"elsewhere"_qs, localTime(2026, 12, 5, 8, 0))});
        harness->settings->setPreviewLineCount(PreviewLineCount::three);
        QTRY_COMPARE(items()->visualRect(rowIndex(0)).height(),
                     items()->visualRect(rowIndex(1)).height());
        setSearch(u"o"_qs);
        QCOMPARE(items()->visualRect(rowIndex(0)).height(),
                 items()->visualRect(rowIndex(1)).height());
    }

    // A row converts only a prefix of an item's text; it shows the same as
    // the whole text would, and ends in an ellipsis (or shows more given a
    // second line) when text was left out, also when the text ends right at
    // the prefix or a character of two code units straddles its end.
    // (Zero-width spaces fit on one line however many there are, so only
    // the cut can call for the ellipsis on that line.)
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
        const QString text =
            filler.repeated(PreviewText::prefixLimit(font, 300, 1) + fillers) + rest;
        const auto drawn = [&](const auto &source, int lines) {
            const PreviewText preview(source, u"Y"_qs, font, 300, lines);
            QImage image(320, 60, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setPen(Qt::black);
            preview.draw(&painter, QPointF(0, 0));
            return image;
        };
        const QImage whole = drawn(text, 1);
        QCOMPARE(drawn(ItemText(text), 1), whole);
        QCOMPARE(drawn(text, 2) != whole, truncated);
    }
};

QTEST_MAIN(TestContentView)
#include "tst_ContentView.moc"
