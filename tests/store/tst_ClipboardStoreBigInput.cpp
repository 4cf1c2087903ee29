// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StoreHarness.h"
#include "TestFiles.h"

#include <QSignalSpy>
#include <QTest>

// Inputs far beyond everyday sizes: a backup of hundreds of megabytes, odd
// shapes of backup, and one enormous copy. Under AddressSanitizer the sizes
// shrink tenfold, as its shadow memory and checks make the full ones slow.
#if defined(__SANITIZE_ADDRESS__)
constexpr qsizetype kScale = 10;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr qsizetype kScale = 10;
#else
constexpr qsizetype kScale = 1;
#endif
#else
constexpr qsizetype kScale = 1;
#endif

constexpr qsizetype kMiB = 1024 * 1024;

class TestClipboardStoreBigInput : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void importOfLargeBackup_data();
    void importOfLargeBackup();
    void importOfOddShapes_data();
    void importOfOddShapes();
    void hugeCopyIsRecordedSavedAndReloaded();
};

namespace {

const QByteArray kCreatedAt = "2026-12-05T21:04:07Z";

QByteArray entry(const QByteArray &content, const QByteArray &id)
{
    return "{\"content\" : \"" + content + "\", \"createdAt\" : \"" + kCreatedAt +
           "\", \"id\" : \"" + id + "\"}";
}

QByteArray idNumber(qsizetype n)
{
    return QByteArray("00000000-0000-0000-0000-") +
           QByteArray::number(n, 16).rightJustified(12, '0').toUpper();
}

// Writes a backup of `count` entries whose contents are `contentBytes` long
// ("abc…" cycling), followed by `tail` (normally the closing bracket).
void writeBackup(const QString &path, qsizetype count, qsizetype contentBytes,
                 const QByteArray &tail)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QByteArray content(contentBytes, Qt::Uninitialized);
    for (qsizetype i = 0; i < contentBytes; ++i)
        content[i] = char('a' + i % 26);
    QVERIFY(file.write("[") == 1);
    for (qsizetype n = 0; n < count; ++n) {
        const QByteArray e = (n ? "," : "") + entry(content, idNumber(n));
        QVERIFY(file.write(e) == e.size());
    }
    QVERIFY(file.write(tail) == tail.size());
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

// About 200 MB each, either a few large items or many small ones; a file
// cut short (or with one bad byte at its very end) is refused as a whole.
void TestClipboardStoreBigInput::importOfLargeBackup_data()
{
    QTest::addColumn<qsizetype>("count");
    QTest::addColumn<qsizetype>("contentBytes");
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<bool>("imports");

    const qsizetype total = 200 * kMiB / kScale;
    QTest::newRow("four large items") << qsizetype(4) << total / 4 << QByteArray("]") << true;
    QTest::newRow("many small items")
        << total / 1024 << qsizetype(1024 - 120) << QByteArray("]") << true;
    QTest::newRow("large items, cut short")
        << qsizetype(4) << total / 4 << QByteArray(",{\"content\" : \"abc") << false;
    QTest::newRow("small items, a bad last entry")
        << total / 1024 << qsizetype(1024 - 120)
        << QByteArray(",{\"content\" : 7, \"createdAt\" : \"2026-12-05T21:04:07Z\", "
                      "\"id\" : \"00000000-0000-0000-0000-000000000000\"}]")
        << false;
}

void TestClipboardStoreBigInput::importOfLargeBackup()
{
    QFETCH(qsizetype, count);
    QFETCH(qsizetype, contentBytes);
    QFETCH(QByteArray, tail);
    QFETCH(bool, imports);

    ImportTarget target;
    const StoreHarness &h = target.h;
    ClipboardStore &store = *target.store;
    writeBackup(target.backupPath, count, contentBytes, tail);
    const QString error = store.importHistory(target.backupPath);
    QFile::remove(target.backupPath);

    if (!imports) {
        target.checkRefused(error);
        return;
    }
    QCOMPARE(error, QString());
    QCOMPARE(store.items().size(), count);
    // Equal times keep the file's order; spot-check the ends.
    QCOMPARE(store.items().first().id, QUuid::fromString(QString::fromLatin1(idNumber(0))));
    QCOMPARE(store.items().last().id, QUuid::fromString(QString::fromLatin1(idNumber(count - 1))));
    QCOMPARE(store.items().last().content.utf8Size(), contentBytes);
    QCOMPARE(h.fileItems().size(), count); // saved in full
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

void TestClipboardStoreBigInput::hugeCopyIsRecordedSavedAndReloaded()
{
    // 50 MB of UTF-8 with lines, quotes, control and non-ASCII characters.
    const QString unit = QStringLiteral("line \"one\"\t\\ Straße 東京 🙂\u0001\n");
    const qsizetype targetBytes = 50 * kMiB / kScale;
    const qsizetype unitBytes = unit.toUtf8().size();
    QString text;
    text.reserve((targetBytes / unitBytes + 1) * unit.size());
    for (qsizetype bytes = 0; bytes < targetBytes; bytes += unitBytes)
        text += unit;

    StoreHarness h;
    ClipboardStore &store = h.open();
    h.copy(text);
    QCOMPARE(store.items().size(), 1);
    QVERIFY(store.items().first().content == text);

    const QList<ClipboardItem> saved = h.fileItems();
    QCOMPARE(saved.size(), 1);
    QVERIFY(saved.first().content == text);

    h.store.reset();
    ClipboardStore &reopened = h.open();
    QCOMPARE(reopened.items().size(), 1);
    QVERIFY(reopened.items().first().content == text);
    QCOMPARE(reopened.items().first().id, saved.first().id);
}

QTEST_GUILESS_MAIN(TestClipboardStoreBigInput)
#include "tst_ClipboardStoreBigInput.moc"
