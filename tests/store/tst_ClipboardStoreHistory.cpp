// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "LocalDays.h"
#include "StdoutCapture.h"
#include "StoreHarness.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include <dlfcn.h>
#include <sys/mman.h>

// Another program rewriting the history while it is read: this program's
// madvise (which the reader calls as it goes) comes before the C library's
// and, once armed, first replaces the file with a shorter one.
namespace {
QString g_rewritePath;
QByteArray g_rewriteBytes;
} // namespace

extern "C" int madvise(void *address, size_t length, int advice) noexcept
{
    if (!g_rewritePath.isEmpty()) {
        QFile file(std::exchange(g_rewritePath, {}));
        if (!file.open(QIODevice::ReadWrite) ||
            file.write(g_rewriteBytes) != g_rewriteBytes.size() ||
            !file.resize(g_rewriteBytes.size()))
            qFatal("cannot rewrite the history");
    }
    static const auto real =
        reinterpret_cast<int (*)(void *, size_t, int)>(::dlsym(RTLD_NEXT, "madvise"));
    return real(address, length, advice);
}

class TestClipboardStoreHistory : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qputenv("TZ", "Europe/Berlin"); }

    // Berlin moved to summer time on 29 March 2026: the week's cutoff keeps
    // the wall-clock time, so it is 167 hours away, not 168.
    void retentionCutoff_data()
    {
        QTest::addColumn<QDateTime>("createdAt");
        QTest::addColumn<bool>("kept");
        QTest::newRow("exactly at the cutoff") << localTime(2026, 3, 25, 12, 0) << true;
        QTest::newRow("one second older") << localTime(2026, 3, 25, 11, 59, 59) << false;
    }

    void retentionCutoff()
    {
        QFETCH(QDateTime, createdAt);
        QFETCH(bool, kept);

        StoreHarness h;
        h.settings->setRetentionPeriod(RetentionPeriod::oneWeek);
        const QDateTime now = localTime(2026, 4, 1, 12, 0);
        h.clock.set(now.addDays(-1));
        // An item one second past the cutoff comes after the probe, so that the
        // prune compares the probe itself with the cutoff.
        h.writeHistory({makeItem(QStringLiteral("probe"), createdAt),
                        makeItem(QStringLiteral("expired"), localTime(2026, 3, 25, 11, 59, 59))});
        ClipboardStore &store = h.open();
        QCOMPARE(store.items().size(), 2);

        h.clock.set(now);
        store.pollPasteboard();
        QCOMPARE(store.items().size(), kept ? 1 : 0);
        QCOMPARE(h.fileItems().size(), kept ? 1 : 0);
    }

    void pruneRemovesRangesHighestFirst()
    {
        StoreHarness h;
        const QDateTime now = h.clock.now();
        h.clock.set(now.addDays(-20));
        ClipboardStore &store = h.open();
        // Captures made while the clock was wrong leave old items between new ones.
        const QList<QDateTime> times = {now.addDays(-10), now.addDays(-1), now.addDays(-9),
                                        now.addDays(-8), now.addDays(-2)};
        for (const QDateTime &t : times) {
            h.clock.set(t);
            h.copy(t.toString());
        }
        QCOMPARE(store.items().size(), 5); // rows: -2, -8, -9, -1, -10

        QSignalSpy aboutToRemove(&store, &ClipboardStore::itemsAboutToBeRemoved);
        QSignalSpy removed(&store, &ClipboardStore::itemsRemoved);
        h.clock.set(now);
        h.settings->setRetentionPeriod(RetentionPeriod::oneWeek);
        QCOMPARE(aboutToRemove.size(), 2);
        QCOMPARE(aboutToRemove.at(0), (QVariantList{4, 4}));
        QCOMPARE(aboutToRemove.at(1), (QVariantList{1, 2}));
        QCOMPARE(removed.size(), 2);
        QCOMPARE(h.contents(),
                 (QStringList{now.addDays(-2).toString(), now.addDays(-1).toString()}));
    }

    void wallClockJumpPrunesOnlyOnceTheClocksAgree_data()
    {
        QTest::addColumn<bool>("setRightAgain");
        QTest::newRow("the jump stays") << false;
        QTest::newRow("set right within the ten minutes") << true;
    }

    // The wall clock set two days ahead: what those two days would expire
    // stays until the clock has kept pace with the time elapsed for ten
    // minutes (and for good when it is set right before that), while what
    // expires in real time meanwhile goes as ever.
    void wallClockJumpPrunesOnlyOnceTheClocksAgree()
    {
        QFETCH(bool, setRightAgain);
        StoreHarness h;
        h.settings->setRetentionPeriod(RetentionPeriod::oneWeek);
        const QDateTime now = h.clock.now();
        h.writeHistory(
            {makeItem(QStringLiteral("4 days"), now.addDays(-4)),
             makeItem(QStringLiteral("6 days"), now.addDays(-6)),
             makeItem(QStringLiteral("7 days less a minute"), now.addDays(-7).addSecs(60))});
        ClipboardStore &store = h.open();
        constexpr qint64 minute = 60'000;

        h.clock.jump(2 * 86'400'000);
        store.pollPasteboard();
        QCOMPARE(store.items().size(), 3);
        h.clock.advance(minute + 1000);
        store.pollPasteboard();
        const QStringList twoLeft{QStringLiteral("4 days"), QStringLiteral("6 days")};
        QCOMPARE(h.contents(), twoLeft);
        if (setRightAgain)
            h.clock.jump(-2 * 86'400'000);
        h.clock.advance(8 * minute);
        store.pollPasteboard();
        QCOMPARE(h.contents(), twoLeft);
        h.clock.advance(minute);
        store.pollPasteboard();
        QCOMPARE(h.contents(), setRightAgain ? twoLeft : QStringList{QStringLiteral("4 days")});
        QCOMPARE(h.fileItems().size(), h.contents().size());
    }

    void clearTodayAtTenPastMidnightThenAll()
    {
        StoreHarness h;
        h.clock.set(localTime(2026, 12, 5, 0, 10));
        h.writeHistory({makeItem(QStringLiteral("later today"), localTime(2026, 12, 5, 15, 0)),
                        makeItem(QStringLiteral("since midnight"), localTime(2026, 12, 5, 0, 5)),
                        makeItem(QStringLiteral("yesterday 23:59"), localTime(2026, 12, 4, 23, 59)),
                        makeItem(QStringLiteral("yesterday 09:00"), localTime(2026, 12, 4, 9, 0))});
        ClipboardStore &store = h.open();
        QSignalSpy removed(&store, &ClipboardStore::itemsRemoved);
        store.clearToday();
        QCOMPARE(h.contents(), (QStringList{QStringLiteral("yesterday 23:59"),
                                            QStringLiteral("yesterday 09:00")}));
        QCOMPARE(removed.size(), 1);
        QCOMPARE(removed.at(0), (QVariantList{0, 1}));
        QCOMPARE(h.fileItems().size(), 2);

        store.clearAll();
        QVERIFY(store.availableDays().isEmpty());
        QCOMPARE(h.fileBytes(), QByteArray("[]"));
    }

    void loadSortsNewestFirstStably()
    {
        StoreHarness h;
        const QDateTime t = h.clock.now().addDays(-1);
        const ClipboardItem oldest = makeItem(QStringLiteral("oldest"), t.addSecs(-60));
        const ClipboardItem tieFirst = makeItem(QStringLiteral("tie, first in file"), t);
        const ClipboardItem newest = makeItem(QStringLiteral("newest"), t.addSecs(60));
        const ClipboardItem tieSecond = makeItem(QStringLiteral("tie, second in file"), t);
        h.writeHistory({oldest, tieFirst, newest, tieSecond});
        ClipboardStore &store = h.open();
        QCOMPARE(store.items(), (QList<ClipboardItem>{newest, tieFirst, tieSecond, oldest}));
        // The construction save writes the sorted list back.
        QCOMPARE(h.fileItems(), store.items());
    }

    void historyDirectoryIsMadePrivateUnlessLinked_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::newRow("first start") << "missing";
        QTest::newRow("our own, open to others") << "open";
        // The user keeps the history in a directory shared with a group
        // (setgid, group access) and links ClipboardHistory to it.
        QTest::newRow("linked to a shared one") << "linked";
    }

    void historyDirectoryIsMadePrivateUnlessLinked()
    {
        QFETCH(QString, shape);
        StoreHarness h;
        const QString directory = QFileInfo(h.historyPath).absolutePath();
        const QString shared = h.dir.filePath(QStringLiteral("shared"));
        const QString stray = shared + QStringLiteral("/.clipboard-history.json.notes1");
        if (shape == QLatin1String("open")) {
            QVERIFY(QDir().mkdir(directory));
            QVERIFY(::chmod(QFile::encodeName(directory).constData(), 0755) == 0);
        } else if (shape == QLatin1String("linked")) {
            QVERIFY(QDir().mkdir(shared));
            QVERIFY(::chmod(QFile::encodeName(shared).constData(), 02770) == 0);
            QVERIFY(writeFileContents(stray, "someone else's"));
            QVERIFY(::chmod(QFile::encodeName(stray).constData(), 0660) == 0);
            QVERIFY(QFile::link(shared, directory));
        }

        h.open();
        h.copy(QStringLiteral("a copy"));
        QCOMPARE(h.fileItems().size(), 1);
        if (shape == QLatin1String("linked")) {
            QCOMPARE(fileMode(shared), 02770);
            QVERIFY(QFileInfo::exists(stray));
            QVERIFY(QFileInfo(directory).isSymLink());
        } else {
            QCOMPARE(fileMode(directory), 0700);
            QCOMPARE(fileMode(h.historyPath), 0600);
        }
    }

    // A history that cannot be read is moved aside under its stamp, said in one
    // line, and a fresh, readable history takes its place. A special file is
    // never opened: a pipe with no writer would hang the start, /dev/zero feed
    // it without end.
    void unreadableHistoryIsMovedAside_data()
    {
        QTest::addColumn<QString>("kind"); // empty: a history cut short
        QTest::newRow("cut short") << "";
        QTest::newRow("a pipe") << "fifo";
        QTest::newRow("a link to /dev/zero") << "zero";
        QTest::newRow("a link to a link to a pipe") << "chain";
        QTest::newRow("a directory") << "directory";
    }

    void unreadableHistoryIsMovedAside()
    {
        QFETCH(QString, kind);
        StoreHarness h;
        const QByteArray broken = "[{\"content\" : \"half a year of work\", \"createdAt\" : ";
        if (kind.isEmpty()) {
            h.writeFile(broken);
        } else {
            QVERIFY(QDir().mkpath(QFileInfo(h.historyPath).absolutePath()));
            QVERIFY(makeSpecialFile(h.historyPath, kind));
        }
        h.clock.set(localTime(2026, 12, 5, 22, 4, 7));
        // One moved aside earlier in the same second is kept.
        const QString earlier = h.historyPath + QStringLiteral(".corrupt-20261205-220407");
        QVERIFY(writeFileContents(earlier, "earlier"));
        QStringList printed;
        {
            StdoutCapture capture;
            ClipboardStore &store = h.open();
            printed = capture.lines();
            QVERIFY(store.items().isEmpty());
        }
        QVERIFY(QFileInfo(earlier).isFile() && !QFileInfo(earlier).isSymLink());
        QCOMPARE(fileContents(earlier), QByteArray("earlier"));
        const QString aside = earlier + QStringLiteral("-2");
        QVERIFY(QFileInfo(aside).exists() || QFileInfo(aside).isSymLink());
        if (kind.isEmpty())
            QCOMPARE(fileContents(aside), broken);
        QCOMPARE(printed.size(), 1);
        QVERIFY2(printed.at(0).contains(aside), qPrintable(printed.at(0)));
        QVERIFY(QFileInfo(h.historyPath).isFile() && !QFileInfo(h.historyPath).isSymLink());
        QCOMPARE(h.fileBytes(), QByteArray("[]"));
    }

    // The file as it is after the rewrite is what counts; nothing is moved
    // aside.
    void historyRewrittenWhileReadIsReadAgain()
    {
        StoreHarness h;
        const QDateTime now = h.clock.now();
        // Over the 8 MiB the reader takes between two reports of its progress.
        QList<ClipboardItem> many;
        for (int i = 0; i < 100; ++i)
            many.append(makeItem(QString(100'000, QChar(u'a' + i % 26)), now.addSecs(-i)));
        h.writeHistory(many);
        const QList<ClipboardItem> few{makeItem(QStringLiteral("rewritten"), now)};
        g_rewriteBytes = HistoryCodec::encode(few);
        g_rewritePath = h.historyPath;

        StdoutCapture capture;
        ClipboardStore &store = h.open();
        QVERIFY(g_rewritePath.isEmpty());
        QCOMPARE(store.items(), few);
        QCOMPARE(capture.lines(), QStringList());
    }

    // The fast batch path must agree with converting each time on its own
    // around both daylight-saving changes, local midnight, and before 1970.
    void dayCacheMatchesLocalTimeAcrossDst()
    {
        // The oldest and the newest are checked against the slow path anyway:
        // the oldest is a plain local midnight, the rest fall between.
        QList<ClipboardItem> items{makeItem(QString(), localTime(1960, 1, 1, 0, 0))};
        for (const QDateTime &edge : {localTime(2026, 3, 29, 3, 0), localTime(2026, 10, 25, 2, 0),
                                      localTime(2026, 12, 5, 0, 0), localTime(1970, 1, 1, 0, 0),
                                      localTime(1969, 7, 20, 0, 0)})
            for (const int s : {-3601, -1, 0, 1, 3599})
                items.append(makeItem(QString(), edge.addSecs(s)));
        const QList<QDate> days = LocalDays::of(items);
        QCOMPARE(days.size(), items.size());
        for (qsizetype i = 0; i < items.size(); ++i)
            QCOMPARE(days[i], items[i].createdAt.toLocalTime().date());
    }

    // What else may sit at a backup's path (a file the reader refuses is the
    // settings view's import test, each way it refuses one HistoryCodec's):
    // the import says why and leaves memory, views and file as they were.
    void refusedImportLeavesTheHistoryAlone_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char *kind : {"missing", "fifo", "zero"})
            QTest::newRow(kind) << kind;
    }

    void refusedImportLeavesTheHistoryAlone()
    {
        QFETCH(QString, kind);
        StoreHarness h;
        h.writeHistory({makeItem(QStringLiteral("precious"), h.clock.now().addSecs(-10))});
        ClipboardStore &store = h.open();
        const QList<ClipboardItem> before = store.items();
        const QByteArray fileBefore = h.fileBytes();
        const QString path = h.dir.filePath(QStringLiteral("backup.json"));
        QVERIFY(kind == QLatin1String("missing") || makeSpecialFile(path, kind));

        QSignalSpy resets(&store, &ClipboardStore::itemsAboutToBeReset);
        QVERIFY(!store.importHistory(path).isEmpty());
        QCOMPARE(resets.size(), 0);
        QCOMPARE(store.items(), before);
        QCOMPARE(h.fileBytes(), fileBefore);
    }
};

QTEST_GUILESS_MAIN(TestClipboardStoreHistory)
#include "tst_ClipboardStoreHistory.moc"
