// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StoreHarness.h"
#include "TestFiles.h"

#include <QSignalSpy>
#include <QTest>

// Backups of odd shapes: what an import refuses, and what it takes.
class TestClipboardStoreBigInput : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void importOfOddShapes_data();
    void importOfOddShapes();
};

namespace {

const QByteArray kCreatedAt = "2026-12-05T21:04:07Z";

QByteArray entry(const QByteArray &content, const QByteArray &id)
{
    return "{\"content\" : \"" + content + "\", \"createdAt\" : \"" + kCreatedAt +
           "\", \"id\" : \"" + id + "\"}";
}

// A store holding one precious item, as an import finds it, with what it
// held before for the checks after.
struct ImportTarget {
    ImportTarget()
    {
        h.clock.set(QDateTime::fromString(QString::fromLatin1(kCreatedAt), Qt::ISODate).addDays(1));
        h.writeHistory({makeItem(QStringLiteral("precious"), h.clock.now().addSecs(-10))});
        store = &h.open();
        before = store->items();
        fileBefore = h.fileBytes();
        resets = std::make_unique<QSignalSpy>(store, &ClipboardStore::itemsAboutToBeReset);
    }

    // A refused import says why and leaves memory, views and file as they
    // were.
    void checkRefused(const QString &error) const
    {
        QVERIFY2(!error.isEmpty(), "refused without a description");
        QCOMPARE(resets->size(), 0);
        QCOMPARE(store->items(), before);
        QCOMPARE(h.fileBytes(), fileBefore);
    }

    StoreHarness h;
    ClipboardStore *store = nullptr;
    QList<ClipboardItem> before;
    QByteArray fileBefore;
    std::unique_ptr<QSignalSpy> resets;
    const QString backupPath = h.dir.path() + QStringLiteral("/backup.json");
};

} // namespace

void TestClipboardStoreBigInput::initTestCase()
{
    qputenv("TZ", "Europe/Berlin");
}

// What else may sit at a backup's path, and shapes a hand-edited or hostile
// backup may take (each way the reader refuses a file is HistoryCodec's
// test). Each either imports (`imports` gives the item count) or fails with
// a description and leaves the history alone.
void TestClipboardStoreBigInput::importOfOddShapes_data()
{
    QTest::addColumn<QByteArray>("bytes"); // <missing>, or <kind> of special file
    QTest::addColumn<int>("imports");      // items after import; -1: refused; -2: either

    const QByteArray id = "6F9619FF-8B86-D011-B42D-00C04FC964FF";
    QTest::newRow("no file at all") << QByteArray("<missing>") << -1;
    QTest::newRow("a directory") << QByteArray("<directory>") << -1;
    QTest::newRow("a pipe") << QByteArray("<fifo>") << -1;
    QTest::newRow("a link to /dev/zero") << QByteArray("<zero>") << -1;
    QTest::newRow("malformed JSON") << QByteArray("[{\"content\" : ") << -1;
    QTest::newRow("a million opening brackets") << QByteArray(1000000, '[') << -1;
    QTest::newRow("invalid UTF-8 in the content") << "[" + entry("a\xff\xfe b\xc3", id) + "]" << -2;
    QTest::newRow("the same entry twice") << "[" + entry("x", id) + "," + entry("x", id) + "]" << 2;
}

void TestClipboardStoreBigInput::importOfOddShapes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, imports);

    ImportTarget target;
    const ClipboardStore &store = *target.store;
    if (bytes.startsWith('<') && bytes.endsWith('>')) {
        const QString kind = QString::fromLatin1(bytes.sliced(1, bytes.size() - 2));
        QVERIFY(kind == QLatin1String("missing") || makeSpecialFile(target.backupPath, kind));
    } else {
        QVERIFY(writeFileContents(target.backupPath, bytes));
    }
    const QString error = target.store->importHistory(target.backupPath);
    if (imports == -2)
        imports = error.isEmpty() ? 1 : -1;
    if (imports < 0) {
        target.checkRefused(error);
    } else {
        QCOMPARE(error, QString());
        QCOMPARE(store.items().size(), qsizetype(imports));
        QCOMPARE(target.h.fileItems(), store.items());
    }
}

QTEST_GUILESS_MAIN(TestClipboardStoreBigInput)
#include "tst_ClipboardStoreBigInput.moc"
