// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StdoutCapture.h"
#include "StoreHarness.h"
#include "TestFiles.h"

#include <QDir>
#include <QTest>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// `count` items, `step` seconds apart, the newest a minute old.
QList<ClipboardItem> history(int count, const QDateTime &now, int step = 60)
{
    QList<ClipboardItem> items;
    for (int i = 0; i < count; ++i)
        items.append(makeItem(QStringLiteral("item %1 /usr/share/doc ünïcödé").arg(i),
                              now.addSecs(-qint64(step) * i - 60)));
    return items;
}

// Tests run as root, so permissions stop nothing: a regular file where the
// directory should be makes every save fail.
void blockDirectory(const StoreHarness &h, bool blocked)
{
    const QString directory = QFileInfo(h.historyPath).absolutePath();
    if (blocked) {
        QVERIFY(QDir(directory).removeRecursively());
        QFile file(directory);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else {
        QVERIFY(QFile::remove(directory));
        QVERIFY(QDir().mkdir(directory));
    }
}

} // namespace

// Saving happens on a thread of its own; these check that what the user
// copied still reaches the disk whatever happens around a save.
class TestClipboardStoreSaving : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The writer builds each file from the previous one's elements and the new
    // ones: after every kind of change the bytes are exactly those of encoding
    // the whole list afresh (which the golden files pin down).
    void eachStepWritesTheBytesOfAFreshEncoding()
    {
        StoreHarness h;
        h.settings->setRetentionPeriod(RetentionPeriod::oneMonth);
        const QDateTime now = h.clock.now();
        QList<ClipboardItem> items;
        for (int i = 0; i < 300; ++i) // every two hours, back to 25 days ago
            items.append(
                makeItem(QStringLiteral("line %1\n\t\"quoted\" /path Größe 東京 🙂").arg(i),
                         now.addSecs(-7200 * i - 60)));
        h.writeHistory(items);
        h.open();
        const QString backup = h.writeBackup(items.mid(100, 50));
        auto capture = [&](const QString &text) { h.copy(text, 1500); };
        const QList<std::pair<const char *, std::function<void()>>> steps{
            {"one capture", [&] { capture(QStringLiteral("first")); }},
            // Bigger than one write: it goes out, and is copied later, in pieces.
            {"a text of megabytes",
             [&] { capture(QStringLiteral("\"Größe\"/東京\n🙂 ").repeated(200'000)); }},
            {"the oldest expire",
             [&] {
                 h.clock.advance(qint64(8) * 86'400'000);
                 h.store->pollPasteboard();
             }},
            {"today's go", [&] { h.store->clearToday(); }},
            {"scattered removal",
             [&] { h.settings->setRetentionPeriod(RetentionPeriod::oneWeek); }},
            {"import", [&] { QCOMPARE(h.store->importHistory(backup), QString()); }},
            {"clear all", [&] { h.store->clearAll(); }},
            {"capture into nothing", [&] { capture(QStringLiteral("alone")); }},
        };
        for (const auto &[name, step] : steps) {
            step();
            QVERIFY2(h.fileBytes() == HistoryCodec::encode(h.store->items()), name);
        }
    }

    void startKeepsAFileAlreadyInTheWrittenForm_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("kept");
        const QDateTime now = FixedClock().now();
        // Every three hours over six days: the oldest are a week old after the
        // clock moves on below.
        QList<ClipboardItem> items = history(50, now, 3 * 3600);
        // Every escape the writer makes, and characters it leaves alone.
        items.insert(
            1, makeItem(QString::fromUtf8("\"q\" \\ / \b\f\n\r\t \x01 \x1f \x7f é 東京 🙂"),
                        now.addSecs(-120)));
        const QByteArray canonical = HistoryCodec::encode(items);
        QTest::newRow("written form") << canonical << true;
        QTest::newRow("empty array") << QByteArray("[]") << true;

        // Readable, but not in the written form (which forms are is the codec
        // fuzzer's check), out of order, or holding what has expired.
        QTest::newRow("lower-case id") << QByteArray(canonical).replace("E", "e") << false;
        QTest::newRow("out of order") << HistoryCodec::encode({items[1], items[0]}) << false;
        QTest::newRow("one expired")
            << HistoryCodec::encode({items[0], makeItem("old", now.addYears(-2))}) << false;
    }

    // A history file that is already exactly what would be written is not
    // written again at start; anything else is rewritten in the written form.
    // Either way, later saves build on it, taking unchanged elements from it.
    void startKeepsAFileAlreadyInTheWrittenForm()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, kept);
        StoreHarness h;
        h.settings->setRetentionPeriod(RetentionPeriod::oneWeek);
        h.writeFile(bytes);
        QVERIFY(::chmod(QFile::encodeName(h.historyPath).constData(), 0644) == 0);
        h.open();
        QCOMPARE(h.store->filesWritten(), kept ? 0 : 1);
        QCOMPARE(h.fileBytes(), HistoryCodec::encode(h.store->items()));
        QCOMPARE(fileMode(h.historyPath), 0600); // kept or written, private to the user
        // A capture in front, then the oldest expire: the elements copied from
        // the file found at start are the right ones.
        h.copy(QStringLiteral("next"), 1000);
        QCOMPARE(h.fileBytes(), HistoryCodec::encode(h.store->items()));
        h.clock.advance(qint64(4) * 86'400'000);
        h.store->pollPasteboard();
        QCOMPARE(h.fileBytes(), HistoryCodec::encode(h.store->items()));
    }

    // Quitting (or SIGTERM, which quits) destroys the store while one save is
    // being written and a later one waits: both changes are on disk after.
    void endingWithSavesQueuedLosesNothing()
    {
        StoreHarness h;
        h.writeHistory(history(20'000, h.clock.now()));
        h.open();
        h.copy(QStringLiteral("one"), 1000);
        h.copy(QStringLiteral("two"), 1000);
        const QList<ClipboardItem> expected = h.store->items();
        h.store.reset();
        QCOMPARE(h.fileItems().size(), expected.size());
        QCOMPARE(h.fileItems().first().content, QStringLiteral("two"));
    }

    void failedSaveIsRetried_data()
    {
        QTest::addColumn<bool>("atTick");
        QTest::addColumn<bool>("writable");
        QTest::newRow("at the next tick") << true << true;
        QTest::newRow("at the end") << false << true;
        QTest::newRow("at the end, failing again") << false << false;
    }

    // A capture whose save failed (full disk, missing directory) is written by
    // a later attempt once writing works again, and the failure is printed once.
    // A last attempt at the end that fails too says what is lost.
    void failedSaveIsRetried()
    {
        QFETCH(bool, atTick);
        QFETCH(bool, writable);
        StoreHarness h;
        h.open();
        h.copy(QStringLiteral("saved"));
        h.store->waitForSaves();
        blockDirectory(h, true);
        StdoutCapture capture;
        h.copy(QStringLiteral("kept"), 1000);
        h.store->waitForSaves();
        h.store->pollPasteboard(); // a retry that fails again stays quiet
        h.store->waitForSaves();
        QCOMPARE(capture.lines().size(), 1);
        QVERIFY(
            capture.lines().at(0).startsWith(QStringLiteral("Failed to save clipboard history: ")));

        if (writable)
            blockDirectory(h, false);
        if (atTick)
            h.store->pollPasteboard();
        QCOMPARE(h.store->finishSaving(), writable);
        QCOMPARE(h.fileItems().size(), writable ? 2 : 0);
        QCOMPARE(capture.lines().size(), writable ? 1 : 2);
        if (!writable)
            QVERIFY(capture.lines().at(1).startsWith(
                QStringLiteral("Failed to save clipboard history at quit, 1 copy is lost: ")));
    }
};

QTEST_GUILESS_MAIN(TestClipboardStoreSaving)
#include "tst_ClipboardStoreSaving.moc"
