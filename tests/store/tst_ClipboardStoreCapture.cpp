// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StdoutCapture.h"
#include "StoreHarness.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <optional>

using CopySteps = QList<std::pair<qint64, QString>>; // ms after the first copy, text

namespace {

// Real time from a fixed moment early in a clock minute, counting how
// often it is read: every poll reads it.
class RunningClock final : public Clock {
public:
    RunningClock() { m_elapsed.start(); }
    [[nodiscard]] QDateTime now() const override
    {
        ++reads;
        return start.addMSecs(m_elapsed.elapsed() + setAhead);
    }
    [[nodiscard]] qint64 elapsedMSecs() const override { return m_elapsed.elapsed(); }
    void setWallClockListener(std::function<void()> listener) override
    {
        wallClockSet = std::move(listener);
    }

    const QDateTime start = QDateTime(QDate(2026, 12, 5), QTime(21, 4, 0, 700), Qt::UTC);
    mutable int reads = 0;
    qint64 setAhead = 0;
    std::function<void()> wallClockSet;

private:
    QElapsedTimer m_elapsed;
};

} // namespace

class TestClipboardStoreCapture : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qputenv("TZ", "Europe/Berlin"); }

    // What copies made at the given moments leave in the history: duplicate
    // suppression under each setting, and blank texts.
    void whatIsRecorded_data()
    {
        QTest::addColumn<CaptureMode>("mode");
        QTest::addColumn<DuplicateSuppressionWindow>("window");
        QTest::addColumn<CopySteps>("copies");
        QTest::addColumn<QStringList>("recorded"); // newest first

        const auto suppress = CaptureMode::suppressConsecutiveDuplicates;
        const auto five = DuplicateSuppressionWindow::five;
        const QString a = QStringLiteral("alpha");
        const QString b = QStringLiteral("beta");

        QTest::newRow("window runs from the last accepted copy")
            << suppress << five << CopySteps{{0, a}, {4000, a}, {8000, a}, {12000, a}}
            << QStringList{a, a};
        QTest::newRow("A B A within the window")
            << suppress << five << CopySteps{{0, a}, {1000, b}, {2000, a}} << QStringList{a, b, a};
        QTest::newRow("case or surrounding spaces differ")
            << suppress << five
            << CopySteps{{0, QStringLiteral("Hello")},
                         {1000, QStringLiteral("hello")},
                         {2000, QStringLiteral(" hello")}}
            << QStringList{QStringLiteral(" hello"), QStringLiteral("hello"),
                           QStringLiteral("Hello")};
        QTest::newRow("canonically equal texts are the same text")
            << suppress << five
            << CopySteps{{0, QStringLiteral("caf\u00e9")}, {1000, QStringLiteral("cafe\u0301")}}
            << QStringList{QStringLiteral("caf\u00e9")};
        QTest::newRow("clock set back drops the repeat")
            << suppress << five << CopySteps{{0, a}, {-3'600'000, a}} << QStringList{a};
        QTest::newRow("ten seconds: 9.999 s dropped, 10 s recorded")
            << suppress << DuplicateSuppressionWindow::ten
            << CopySteps{{0, a}, {9999, a}, {10000, a}} << QStringList{a, a};
        QTest::newRow("recordEveryCopy records every copy")
            << CaptureMode::recordEveryCopy << five << CopySteps{{0, a}, {100, a}}
            << QStringList{a, a};
        // Spaces, tabs, no-break space, line separator, next line: all blank; a
        // zero-width space is not white space.
        const QString code = QStringLiteral("  indented();\n");
        const QString zeroWidth = QStringLiteral("\u200b");
        QTest::newRow("text kept untrimmed, blank texts ignored")
            << suppress << five
            << CopySteps{{0, code},
                         {60'000, QStringLiteral(" \n\t\r\u00a0\u2028\u0085\u3000")},
                         {61'000, QString()},
                         {62'000, zeroWidth}}
            << QStringList{zeroWidth, code};
        QTest::newRow("a blank copy leaves the suppression state alone")
            << suppress << five
            << CopySteps{{0, zeroWidth}, {1000, QStringLiteral("   ")}, {2000, zeroWidth}}
            << QStringList{zeroWidth};
    }

    void whatIsRecorded()
    {
        QFETCH(CaptureMode, mode);
        QFETCH(DuplicateSuppressionWindow, window);
        QFETCH(CopySteps, copies);
        QFETCH(QStringList, recorded);

        StoreHarness h;
        h.settings->setCaptureMode(mode);
        h.settings->setDuplicateSuppressionWindow(window);
        h.open();
        const QDateTime start = h.clock.now();
        for (const auto &[offset, text] : copies) {
            h.clock.set(start.addMSecs(offset));
            h.copy(text);
        }
        QCOMPARE(h.contents(), recorded);
    }

    void oversizedTextIsRefused_data()
    {
        // The limit counts UTF-8 bytes: a text of 3-byte characters is refused
        // at a third of the length of an ASCII one.
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("refusedByPasteboard");
        QTest::addColumn<QString>("line");
        const qint64 limit = kMaximumCapturedTextBytes;
        QTest::newRow("exactly the limit is recorded")
            << QString(limit, u'a') << qint64(0) << QString();
        QTest::newRow("over only in UTF-8")
            << QString(limit / 3 + 1, QChar(0x20AC)) << qint64(0)
            << "Clipboard text too large to record: 65 MiB (limit 64 MiB)";
        QTest::newRow("refused before reading")
            << QString() << qint64(200) * 1024 * 1024
            << "Clipboard text too large to record: 200 MiB (limit 64 MiB)";
    }

    void oversizedTextIsRefused()
    {
        QFETCH(QString, text);
        QFETCH(qint64, refusedByPasteboard);
        QFETCH(QString, line);
        StoreHarness h;
        ClipboardStore &store = h.open();
        const QByteArray fileBefore = h.fileBytes();

        StdoutCapture output;
        h.pasteboard.copy(refusedByPasteboard > 0 ? std::nullopt : std::optional<QString>(text));
        h.pasteboard.refusedBytes = refusedByPasteboard;
        text.clear();
        store.pollPasteboard();
        if (line.isEmpty()) {
            QCOMPARE(output.lines(), QStringList());
            QCOMPARE(store.items().size(), 1);
            return;
        }
        QCOMPARE(output.lines(), QStringList{line});
        QVERIFY(store.items().isEmpty());
        QCOMPARE(h.fileBytes(), fileBefore);

        // The change stays consumed; the next copy is recorded as usual.
        h.pasteboard.refusedBytes = 0;
        store.pollPasteboard();
        QCOMPARE(output.lines().size(), 1);
        h.copy(QStringLiteral("small"));
        QCOMPARE(h.contents(), QStringList{QStringLiteral("small")});
    }

    void clearAndImportKeepSuppressionState()
    {
        StoreHarness h;
        ClipboardStore &store = h.open();
        const QString secret = QStringLiteral("hunter2");
        h.copy(secret);
        h.clock.advance(1000);
        store.clearAll();
        store.pollPasteboard(); // the clear did not reset the change count
        QVERIFY(store.items().isEmpty());
        h.copy(secret);
        QVERIFY(store.items().isEmpty());

        const QString backup =
            h.writeBackup({makeItem(QStringLiteral("old"), h.clock.now().addDays(-1))});
        QCOMPARE(store.importHistory(backup), QString());
        h.copy(secret, 1000);
        QCOMPARE(h.contents(), QStringList{QStringLiteral("old")});
        // The window still runs from the copy accepted before the clear.
        h.copy(secret, 3000);
        QCOMPARE(h.contents(), (QStringList{secret, QStringLiteral("old")}));
    }

    void monitoringIsALiveSwitchAndRunsInNestedLoops()
    {
        StoreHarness h(/*monitoring=*/true);
        ClipboardStore &store = h.open();
        store.setPollInterval(10);
        QVERIFY(store.isMonitoring());
        h.settings->setStartMonitoringImmediately(false);
        QVERIFY(!store.isMonitoring());
        h.pasteboard.copy(QStringLiteral("while off"));
        QTest::qWait(200); // twenty poll intervals
        QVERIFY(store.items().isEmpty());

        h.settings->setStartMonitoringImmediately(true);
        QTRY_COMPARE(h.contents(), QStringList{QStringLiteral("while off")});
        // A modal dialog or a menu runs its own event loop; polls go on there.
        h.pasteboard.copy(QStringLiteral("copied while a dialog is open"));
        QEventLoop modal;
        connect(&store, &ClipboardStore::itemsInserted, &modal, &QEventLoop::quit);
        QTimer::singleShot(10'000, &modal, &QEventLoop::quit);
        modal.exec();
        QCOMPARE(store.items().size(), 2);
    }

    // Ticks with nothing to do are skipped, but an item still leaves when it
    // passes its cutoff and a copy is still polled.
    void ticksWakeOnlyForWork()
    {
        StoreHarness h(/*monitoring=*/true);
        h.settings->setRetentionPeriod(RetentionPeriod::oneWeek);
        RunningClock clock;
        const QDateTime cutoff = clock.start.toLocalTime().addDays(-7).toUTC();
        // The file keeps whole seconds: 21:04:01 here.
        h.writeHistory({makeItem(QStringLiteral("new"), clock.start),
                        makeItem(QStringLiteral("expires in 8 s"), cutoff.addSecs(8)),
                        makeItem(QStringLiteral("expires in 300 ms"), cutoff.addMSecs(300))});
        ClipboardStore store(*h.settings, h.pasteboard, clock, h.historyPath);
        store.setPollInterval(10);
        QTRY_COMPARE(store.items().size(), 2);

        const int reads = clock.reads;
        QTest::qWait(200); // twenty ticks with nothing to do
        QCOMPARE(clock.reads, reads);
        h.pasteboard.copy(QStringLiteral("copied"));
        QTRY_COMPARE(store.items().size(), 3);

        // The wall clock set 9 s ahead: the item due in 8 s leaves at once.
        clock.setAhead = 9000;
        if (clock.wallClockSet)
            clock.wallClockSet();
        QTRY_COMPARE_WITH_TIMEOUT(store.items().size(), 2, 1000);
    }
};

QTEST_GUILESS_MAIN(TestClipboardStoreCapture)
#include "tst_ClipboardStoreCapture.moc"
