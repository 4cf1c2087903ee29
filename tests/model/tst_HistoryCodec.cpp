// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "HistoryCodec.h"

#include <QFile>
#include <QTest>
#include <QUuid>

#include <algorithm>
#include <memory>

namespace {

QDateTime utc(const char *iso)
{
    QDateTime t = QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODateWithMs);
    t.setTimeSpec(Qt::UTC);
    return t;
}

QByteArray readData(const char *name)
{
    QFile file(QStringLiteral(QUILLMARK_TEST_DATA_DIR "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing test data %s", name);
    return file.readAll();
}

// The items pinned by history-golden.json.
QList<ClipboardItem> goldenItems()
{
    return {
        {QUuid(QStringLiteral("6f9619ff-8b86-d011-b42d-00c04fc964ff")),
         QStringLiteral("https://example.com/a b"), utc("2026-12-05T21:04:07.750")},
        {QUuid(QStringLiteral("123e4567-e89b-12d3-a456-426614174000")),
         QStringLiteral("Straße – naïve 東京 🙂\nline two\r\n\tindented /usr/local/bin"),
         utc("2026-03-29T01:30:00")},
        {QUuid(),
         QStringLiteral("quote \" backslash \\ ctrl \x01\x1f bell\b feed\f del\x7f nul") +
             QChar(0) + QStringLiteral(" end"),
         utc("1999-12-31T23:59:59")},
        {QUuid(QStringLiteral("ffffffff-ffff-4fff-bfff-ffffffffffff")), QString(),
         utc("2026-01-01T00:00:00")},
    };
}

// Good createdAt and id members, for documents spelled out by hand.
const QByteArray kCreatedAt = "\"createdAt\":\"2026-12-05T21:04:07Z\"";
const QByteArray kId = "\"id\":\"6F9619FF-8B86-D011-B42D-00C04FC964FF\"";

// A one-element file laid out as the writer lays it out, with the given
// content (the JSON string body) spliced in as it is.
QByteArray writtenForm(const QByteArray &content)
{
    return "[\n  {\n    \"content\" : \"" + content +
           "\",\n    \"createdAt\" : \"2026-12-05T21:04:07Z\",\n"
           "    \"id\" : \"6F9619FF-8B86-D011-B42D-00C04FC964FF\"\n  }\n]";
}
constexpr qsizetype writtenContentStart = 23;

// One element with the given member texts spliced in as they are.
QByteArray element(const char *createdAt = "\"2026-12-05T21:04:07Z\"",
                   const char *id = "\"6F9619FF-8B86-D011-B42D-00C04FC964FF\"",
                   const char *content = "\"text\"")
{
    return QByteArray("{\"content\":") + content + ",\"createdAt\":" + createdAt + ",\"id\":" + id +
           "}";
}

QByteArray array(const QByteArray &elements)
{
    return "[" + elements + "]";
}

// A one-element array whose content member is the given JSON text, the
// other members good ones.
QByteArray withContent(const char *content)
{
    return array(
        element("\"2026-12-05T21:04:07Z\"", "\"6F9619FF-8B86-D011-B42D-00C04FC964FF\"", content));
}

} // namespace

// The reader takes texts sixteen bytes at a time: a character, an escape
// or a fault may fall anywhere in such a step, or across two.
constexpr int stepOffsets = 18;

// That a streamed encoding joins to the bytes of the one-shot one, and that
// any instant is written as what reads back, is fuzz_history_writer's check.

class TestHistoryCodec : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesAndReadsTheGoldenFiles()
    {
        QCOMPARE(HistoryCodec::encode(goldenItems()), readData("history-golden.json"));
        QCOMPARE(HistoryCodec::encode({}), readData("history-empty.json"));

        QList<ClipboardItem> items;
        QString error;
        QVERIFY2(HistoryCodec::decode(readData("history-golden.json"), items, error),
                 qPrintable(error));

        // Only whole seconds reach the file. That the store finds its own file
        // in the written form is the saving test's check.
        QList<ClipboardItem> expected = goldenItems();
        expected.first().createdAt = utc("2026-12-05T21:04:07");
        QCOMPARE(items, expected);
        QCOMPARE(items.first().createdAt.timeSpec(), Qt::UTC);
    }

    // Each accepted document holds no item or one, with the id of element().
    void acceptedInput_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QDateTime>("createdAt"); // of the item, if any
        QTest::addColumn<QString>("content");

        const QDateTime at = utc("2026-12-05T21:04:07");
        const auto row = [&](const char *name, const QByteArray &json, const QDateTime &createdAt,
                             const QString &content = QStringLiteral("text")) {
            QTest::newRow(name) << json << createdAt << content;
        };
        const auto date = [](const char *text) { return array(element(text)); };
        // The good members after an ignored one.
        const QByteArray good = ",\"content\":\"text\"," + kCreatedAt + "," + kId + "}]";

        row("empty array, white space around", " \n\t[ \r\n ]\n ", QDateTime());
        row("byte-order mark", "\xEF\xBB\xBF" + array(element()), at);
        row("lower-case id",
            array(element("\"2026-12-05T21:04:07Z\"", "\"6f9619ff-8b86-d011-b42d-00c04fc964ff\"")),
            at);
        row("escapes in content", withContent("\"a\\/b\\u00e9\\ud83d\\ude42\\\"\""), at,
            QStringLiteral("a/bé🙂\""));
        row("the last pair of surrogate escapes", withContent("\"\\udbff\\udfff\""), at,
            QString::fromUcs4(U"\U0010FFFF"));
        row("lone surrogate escapes", withContent("\"\\ud800x\\udc00\\ud800\""), at,
            QStringLiteral("\uFFFDx\uFFFD\uFFFD"));
        // Members in any order; ignored ones of every kind, a repeated one too.
        row("ignored members of every kind",
            "[{\"n\":[-0.5e+10,0,1E3,-0,12.25e-2],\"b\":[true,false,null],"
            "\"o\":{\"a\":{\"b\":[{}]},\"c\":\"\\u00e9\\n\"},\"e\":[],\"s\":\"\xC3\xA9\","
            "\"id\":\"6F9619FF-8B86-D011-B42D-00C04FC964FF\",\"createdAt\":\"2026-12-05T21:04:"
            "07Z\","
            "\"content\":\"text\",\"content\":7}]",
            at);
        row("huge number and deep nesting in ignored members",
            "[{\"x\":" + QByteArray(400, '9') + ",\"y\":" + QByteArray(500, '[') +
                QByteArray(500, ']') + good,
            at);
        row("long fraction truncated", date("\"2026-12-05T21:04:07.123999999Z\""),
            at.addMSecs(123));
        row("positive offset", date("\"2026-12-06T02:34:07+05:30\""), at);
        row("negative offset across the year", date("\"2026-12-31T16:30:00-08:00\""),
            utc("2027-01-01T00:30:00"));
        row("leap day of a 400th year", date("\"2000-02-29T23:59:59Z\""),
            utc("2000-02-29T23:59:59"));
    }

    void acceptedInput()
    {
        QFETCH(QByteArray, json);
        QFETCH(QDateTime, createdAt);
        QFETCH(QString, content);

        QList<ClipboardItem> items;
        QString error;
        QVERIFY2(HistoryCodec::decode(json, items, error), qPrintable(error));
        QCOMPARE(items.size(), createdAt.isValid() ? 1 : 0);
        if (createdAt.isValid()) {
            QCOMPARE(items.first().createdAt, createdAt);
            QCOMPARE(items.first().id,
                     QUuid(QStringLiteral("6f9619ff-8b86-d011-b42d-00c04fc964ff")));
            QCOMPARE(items.first().content, content);
        }
    }

    void rejectedInput_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("error");

        auto date = [](const char *text) { return array(element(text)); };
        // Content that fails before the other members are looked at.
        auto badContent = [](const char *text) { return array(element("\"x\"", "\"y\"", text)); };
        auto uuid = [](const char *text) {
            return array(element("\"2026-12-05T21:04:07Z\"", text));
        };
        const QString badDate =
            QStringLiteral("item 1: \"createdAt\" is not a date-time with a time zone");
        const QString badId = QStringLiteral("item 1: \"id\" is not a UUID");

        // The shape of the document.
        QTest::newRow("empty file") << QByteArray() << "the file is empty";
        QTest::newRow("only white space") << QByteArray("  \n") << "the file is empty";
        QTest::newRow("object") << QByteArray("{\"items\":[]}") << "not a JSON array";
        // The file ends on a backslash at the end of a sixteen-byte step.
        QTest::newRow("cut after a backslash in a name")
            << QByteArray("[{\"0123456789abcde\\") << "malformed JSON at byte 18";
        QTest::newRow("cut after a backslash in a text")
            << QByteArray("[{\"content\":\"0123456789abcde\\") << "malformed JSON at byte 28";
        QTest::newRow("unclosed string of escapes")
            << QByteArray("[{\"content\":\"") + QByteArray("\\/").repeated(50'000)
            << "malformed JSON";
        QTest::newRow("missing comma between items")
            << array(element() + element()) << "malformed JSON";
        QTest::newRow("non-ASCII outside strings")
            << QByteArray("[\xC3\xA9]") << "item 1: not a JSON object";
        QTest::newRow("overlong UTF-8") << badContent("\"\xC0\xAF\"") << "not valid UTF-8";
        QTest::newRow("invalid UTF-8 in an ignored member")
            << QByteArray("[{\"x\":\"\xFF\"}]") << "not valid UTF-8";

        // The elements.
        QTest::newRow("element is an array") << array("[]") << "item 1: not a JSON object";
        QTest::newRow("second element bad")
            << array(element() + "," + element("\"2026-12-05\"")) << "item 2: " + badDate.mid(8);
        const QByteArray a = "\"content\":\"a\",";
        QTest::newRow("no content, key differs in case")
            << "[{\"Content\":\"a\"," + kCreatedAt + "," + kId + "}]"
            << "item 1: \"content\" is missing";
        QTest::newRow("no id") << "[{" + a + kCreatedAt + "}]"
                               << "item 1: \"id\" is missing";
        QTest::newRow("content is null")
            << withContent("null") << "item 1: \"content\" is not a string";

        for (const char *bad : {"\"2026-12-05T21:04:07\"", "\"2026-12-05T21:04:07+24:00\"",
                                "\"2026-12-05T21:04:07.Z\"", "\"2026-12-00T21:04:07Z\"",
                                "\"2026-02-29T21:04:07Z\"", "\"2100-02-29T21:04:07Z\"",
                                "\"2026-04-31T21:04:07Z\"", "\"2026-12-05T24:00:00Z\"", "\"\""})
            QTest::addRow("createdAt %s", bad) << date(bad) << badDate;
        for (const char *bad : {"\"6F9619FF-8B86-D011-B42D-00C04FC964F\"",
                                "\"{6F9619FF-8B86-D011-B42D-00C04FC964FF}\"",
                                "\"6F9619F-F8B86-D011-B42D-00C04FC964FF\""})
            QTest::addRow("id %s", bad) << uuid(bad) << badId;
    }

    void rejectedInput()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, error);

        // From a buffer of exactly the input's size, so that the address
        // sanitizer sees any read past its end.
        const auto exact = std::make_unique<char[]>(std::size_t(json.size()));
        std::copy(json.cbegin(), json.cend(), exact.get());
        // What the list held before is left alone, even when an element before
        // the bad one was good.
        QList<ClipboardItem> items = goldenItems();
        QString actual;
        QVERIFY(!HistoryCodec::decode(QByteArrayView(exact.get(), json.size()), items, actual));
        QVERIFY2(actual.startsWith(error), qPrintable(actual));
        QCOMPARE(items, goldenItems());
    }

    void deepNestingFailsCleanly()
    {
        const int depth = 1'000'000;
        const QByteArray open(depth, '['), close(depth, ']');
        const QByteArray member = "[{\"content\":\"a\"," + kCreatedAt + "," + kId + ",\"x\":";
        const QList<QPair<QByteArray, QString>> cases{
            {open, QStringLiteral("item 1: not a JSON object")},
            {member + open + close + "}]", QStringLiteral("nested too deeply at byte 10099")},
            {member + QByteArray(depth, '{'), QStringLiteral("malformed JSON at byte 100")},
        };
        for (const auto &[json, expected] : cases) {
            QList<ClipboardItem> items;
            QString error;
            QVERIFY(!HistoryCodec::decode(json, items, error));
            QCOMPARE(error, expected);
        }
    }

    void consumedBytesAreNeverReadAgain()
    {
        // A loader gives back the memory of what the reader reports as done, so
        // those bytes may be gone: wiping them must not change the result. Big
        // texts (one of them escaped and multi-byte) cross several reports.
        QList<ClipboardItem> items;
        const QDateTime at(QDate(2026, 12, 5), QTime(21, 4, 7), Qt::UTC);
        items.append(ClipboardItem{QUuid::createUuid(), QString(20'000'000, u'a'), at});
        for (int i = 0; i < 200; ++i)
            items.append(
                ClipboardItem{QUuid::createUuid(), QStringLiteral("small %1 / ü").arg(i), at});
        items.append(
            ClipboardItem{QUuid::createUuid(), QStringLiteral("\"/\n€😀").repeated(2'000'000), at});
        QByteArray json = HistoryCodec::encode(items);

        QList<qsizetype> reports;
        QList<ClipboardItem> decoded;
        QString error;
        QVERIFY(HistoryCodec::decode(json, decoded, error, [&](qsizetype consumed) {
            QVERIFY(reports.isEmpty() || consumed > reports.back());
            QVERIFY(consumed <= json.size());
            std::fill(json.begin(), json.begin() + consumed, '\0');
            reports.append(consumed);
        }));
        QVERIFY2(reports.size() >= 5, qPrintable(QString::number(reports.size())));
        QCOMPARE(decoded, items);
    }

    void faultsAtEveryOffset_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("error");

        // Each fault at the byte where the reader must report it.
        const QList<std::pair<const char *, QByteArray>> faults{
            {"stray continuation byte", "\x80"},
            {"byte that starts nothing", "\xFF"},
            {"overlong three bytes", "\xE0\x9F\xBF"},
            {"surrogate", "\xED\xA0\x80"},
            {"past U+10FFFF", "\xF4\x90\x80\x80"},
            {"three bytes cut short by a lead byte", "\xE6\x9D\xC3\xA9"},
            {"four bytes cut short by an escape", "\xF0\x9F\x99\\n"},
            {"cut short by the closing quote", "\xE6\x9D\""},
            {"raw control character", "\x01"},
            {"escape that is none", "\\x"},
        };
        const QList<QByteArray> goods{"\xC3\xA9", "\xE6\x9D\xB1", "\xF0\x9F\x99\x82", "\\/", "a"};
        for (const auto &[name, fault] : faults) {
            const QString what = fault == "\x01" || fault == "\\x"
                                     ? QStringLiteral("malformed JSON")
                                     : QStringLiteral("not valid UTF-8");
            for (int offset = 0; offset < stepOffsets; ++offset) {
                // Whole good characters of every length before the fault.
                QByteArray before;
                for (int next = 0; before.size() < offset; ++next) {
                    const QByteArray &good = goods[next % goods.size()];
                    before += offset - before.size() >= good.size() ? good : QByteArray("a");
                }
                const QByteArray body = before + fault + QByteArray(20, 'z');
                QTest::addRow("%s after %d bytes", name, offset)
                    << writtenForm(body)
                    << QStringLiteral("%1 at byte %2").arg(what).arg(writtenContentStart + offset);
            }
        }
    }

    // Every fault is found at its own byte whether or not the reader also notes
    // the layout, wherever it falls in the reader's steps (that the two readers
    // accept the same files is the fuzzer's check).
    void faultsAtEveryOffset()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, error);

        for (const bool keepingLayout : {false, true}) {
            QList<ClipboardItem> items;
            QString actual;
            HistoryCodec::Layout layout;
            QVERIFY(
                !HistoryCodec::decode(json, items, actual, {}, keepingLayout ? &layout : nullptr));
            QCOMPARE(actual, error);
        }
    }
};

QTEST_GUILESS_MAIN(TestHistoryCodec)
#include "tst_HistoryCodec.moc"
