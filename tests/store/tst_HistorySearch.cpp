// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "HistoryIndex.h"
#include "HistorySearch.h"
#include "SampleHistory.h"

#include <QTest>

// The history browser's index and search, without a window.

class TestHistorySearch : public QObject {
    Q_OBJECT

    std::unique_ptr<StoreHarness> harness;
    std::unique_ptr<HistoryIndex> index;
    std::unique_ptr<HistorySearch> search;

    void open(const QList<ClipboardItem> &history)
    {
        search.reset();
        index.reset();
        harness = std::make_unique<StoreHarness>();
        harness->writeHistory(history);
        index = std::make_unique<HistoryIndex>(harness->open());
        search = std::make_unique<HistorySearch>(*index);
    }

private Q_SLOTS:
    void cleanup()
    {
        search.reset();
        index.reset();
        harness.reset();
    }

    void groupsByLocalDayNewestFirst()
    {
        open(sampleHistory());
        QCOMPARE(index->days(), (QList<QDate>{kNewest, kMiddle, kOldest}));
        // A capture after the clock was set back lands on top of the list
        // but in its own, older day.
        harness->clock.set(localTime(2026, 11, 20, 23, 59));
        harness->store->handleCopiedText(QStringLiteral("from the past"));
        QCOMPARE(index->days(), (QList<QDate>{kNewest, kMiddle, kOldest}));
        QCOMPARE(index->itemCount(kNewest), 2);
        QCOMPARE(index->itemCount(kOldest), 2);
        QCOMPARE(search->matchingRows(kOldest), (QList<int>{0, 4}));
    }

    void visibleDays_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<QDate>>("days");
        QTest::addColumn<QList<int>>("newestDayRows");

        const QList<QDate> all{kNewest, kMiddle, kOldest};
        QTest::newRow("no search") << "" << all << QList<int>{0, 1};
        QTest::newRow("blank is no search") << "  \n\t " << all << QList<int>{0, 1};
        // Case, spaces and a month name through the view are tst_ContentView's.
        QTest::newRow("day and month in the title")
            << "03/dec" << QList<QDate>{kMiddle} << QList<int>{};
    }

    void visibleDays()
    {
        QFETCH(QString, text);
        QFETCH(QList<QDate>, days);
        QFETCH(QList<int>, newestDayRows);

        open(sampleHistory());
        search->setText(text);
        QCOMPARE(search->visibleDays(), days);
        QCOMPARE(search->matchingRows(kNewest), newestDayRows);
    }

    // "é" typed as one code point finds it written as e and a combining
    // accent, and the other way round; "cafe" finds neither. A query that
    // holds an earlier one only as a letter without its mark is not
    // narrowed from that one's answer.
    void canonicallyEquivalentTextsFindEachOther()
    {
        open({makeItem(u"caf\u00E9 au lait"_qs, localTime(2026, 12, 5, 9, 0)),
              makeItem(u"CAFE\u0301, bx\u0301y"_qs, localTime(2026, 12, 3, 9, 0)),
              makeItem(u"cafe"_qs, localTime(2026, 11, 20, 9, 0))});
        search->setText(u"cafe\u0301"_qs);
        QCOMPARE(search->visibleDays(), (QList<QDate>{kNewest, kMiddle}));
        search->setText(u"cafe"_qs);
        QCOMPARE(search->visibleDays(), QList<QDate>{kOldest});
        search->setText(u"bx"_qs);
        QCOMPARE(search->visibleDays(), QList<QDate>{});
        search->setText(u"bx\u0301"_qs);
        QCOMPARE(search->visibleDays(), QList<QDate>{kMiddle});
    }

    void typingOnAndBackKeepsTheSameAnswers()
    {
        open(sampleHistory());
        const QList<QDate> all{kNewest, kMiddle, kOldest};
        const struct {
            const char *text;
            QList<QDate> days;
        } steps[] = {
            {"t", all},         {"st", {kNewest}},                     // "git status"
            {"sta", {kNewest}}, {"stax", {}},      {"sta", {kNewest}}, // widening again
            {"o", all},         {"ol", {kMiddle}},                     // "older"
            {"olé", {}},                                               // a byte the days lack
            {"ol", {kMiddle}},
        };
        for (const auto &step : steps) {
            search->setText(QString::fromUtf8(step.text));
            QCOMPARE(search->visibleDays(), step.days);
        }
    }

    void remembersCapturesAndForgetsRemovals()
    {
        open(sampleHistory());
        search->setText(QStringLiteral("ol"));
        QCOMPARE(search->visibleDays(), QList<QDate>{kMiddle});
        search->setText(QStringLiteral("hold"));
        QCOMPARE(search->visibleDays(), QList<QDate>{});

        harness->store->handleCopiedText(QStringLiteral("hold on"));
        search->itemInserted(0);
        QVERIFY(search->itemMatches(0));
        // Both remembered answers know of the capture, and so does a text
        // narrowed from them.
        QCOMPARE(search->visibleDays(), QList<QDate>{kNewest});
        search->setText(QStringLiteral("ol"));
        QCOMPARE(search->visibleDays(), (QList<QDate>{kNewest, kMiddle}));
        search->setText(QStringLiteral("old"));
        QCOMPARE(search->visibleDays(), (QList<QDate>{kNewest, kMiddle}));
        QCOMPARE(search->matchingRows(kNewest), QList<int>{0});

        harness->store->clearToday();
        search->historyChanged();
        QCOMPARE(search->visibleDays(), QList<QDate>{kMiddle});
        search->setText(QStringLiteral("hold"));
        QCOMPARE(search->visibleDays(), QList<QDate>{});
    }

    void changesBeforeTheFirstSearchKeepItExact()
    {
        // No event loop runs here, so the texts are folded only when the
        // first search asks: the capture is folded, the rest is not, and
        // the removal takes some of each.
        open(sampleHistory());
        QVERIFY(!index->isFolded());
        harness->store->handleCopiedText(QStringLiteral("older still"));
        harness->store->clearToday();
        QVERIFY(!index->isFolded());
        search->setText(QStringLiteral("o"));
        QCOMPARE(search->visibleDays(), (QList<QDate>{kMiddle, kOldest}));
        QVERIFY(index->isFolded());
        QCOMPARE(search->matchingRows(kMiddle), QList<int>{0});
        QVERIFY(index->matches(1, "meeting"));
    }
};

QTEST_GUILESS_MAIN(TestHistorySearch)
#include "tst_HistorySearch.moc"
