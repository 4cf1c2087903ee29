// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ClipboardItem.h"

#include <QTest>

class TestClipboardItem : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void equality_data()
    {
        QTest::addColumn<ClipboardItem>("a");
        QTest::addColumn<ClipboardItem>("b");
        QTest::addColumn<bool>("equal");

        const QUuid id(QStringLiteral("{6f9619ff-8b86-d011-b42d-00c04fc964ff}"));
        const QDateTime at(QDate(2026, 12, 5), QTime(21, 4, 7, 750), Qt::UTC);
        const ClipboardItem item{id, QStringLiteral("café"), at};
        auto with = [&](auto change) {
            ClipboardItem copy = item;
            change(copy);
            return copy;
        };

        QTest::newRow("same") << item << item << true;
        QTest::newRow("other id") << item << with([](auto &i) { i.id = QUuid::createUuid(); })
                                  << false;
        QTest::newRow("other content")
            << item << with([](auto &i) { i.content = QStringLiteral("cafe"); }) << false;
        QTest::newRow("one millisecond later")
            << item << with([](auto &i) { i.createdAt = i.createdAt.addMSecs(1); }) << false;
        // "é" precomposed (U+00E9) and as e + combining acute (U+0301).
        QTest::newRow("canonically equivalent content")
            << item << with([](auto &i) { i.content = QStringLiteral("cafe\u0301"); }) << true;
        QTest::newRow("equivalent orderings of combining marks")
            << with([](auto &i) { i.content = QStringLiteral("q\u0323\u0307"); })
            << with([](auto &i) { i.content = QStringLiteral("q\u0307\u0323"); }) << true;
        QTest::newRow("a sign that decomposes to plain ASCII")
            << with([](auto &i) { i.content = QStringLiteral("300 \u212A"); }) // Kelvin sign
            << with([](auto &i) { i.content = QStringLiteral("300 K"); }) << true;

        // Long texts are decomposed in pieces: marks that straddle a piece end,
        // characters outside the BMP and reordering must come out as for a short text.
        const QString prefix(511, QLatin1Char('a'));
        QString composedTail, decomposedTail;
        for (int n = 0; n < 3000; ++n) {
            composedTail += QStringLiteral("東京🙂 naïve ");
            decomposedTail += QStringLiteral("東京🙂 nai\u0308ve ");
        }
        QTest::newRow("long texts, equivalent across piece ends") << with([&](auto &i) {
            i.content = prefix + QStringLiteral("q\u0323\u0307") + composedTail;
        }) << with([&](auto &i) {
            i.content = prefix + QStringLiteral("q\u0307\u0323") + decomposedTail;
        }) << true;
    }

    void equality()
    {
        QFETCH(ClipboardItem, a);
        QFETCH(ClipboardItem, b);
        QFETCH(bool, equal);

        QCOMPARE(a == b, equal);
        QCOMPARE(b == a, equal);
        QCOMPARE(a != b, !equal);
        // Duplicate suppression compares the texts alone, as QStrings.
        if (a.id == b.id && a.createdAt == b.createdAt)
            QCOMPARE(canonicallyEqual(a.content.toString(), b.content.toString()), equal);
        if (equal)
            QCOMPARE(qHash(a, 7), qHash(b, 7));
    }

    // The text is held as UTF-8 and views take what they show on demand: the
    // whole text, or a bounded head of it that must be what the whole text's
    // head would be, whatever the mix of one- to four-byte characters.
    void textConvertsBack_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("ASCII white space")
            << QStringLiteral(" \t\r\n\f\v") << QStringLiteral(" \t\r\n\f\v");
        const QString mixed =
            QStringLiteral("Straße 东京東京東京 мир 🙂🙂x\n\u00e9\t");
        QTest::newRow("one to four bytes") << mixed << mixed;
        QTest::newRow("lone surrogates") << QStringLiteral("a") + QChar(0xD800) +
                                                QStringLiteral("b") + QChar(0xDC00) + QChar(0xD83D)
                                         << QStringLiteral("a\uFFFDb\uFFFD\uFFFD");
    }

    void textConvertsBack()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const ItemText stored(text);
        QCOMPARE(stored.toString(), expected);
        QCOMPARE(stored.utf8(), expected.toUtf8());
        for (qsizetype units = 0; units <= expected.size() + 1; ++units)
            QVERIFY2(stored.left(units) == expected.left(units),
                     qPrintable(QString::number(units)));
        // Blank means white space of any kind, ASCII or not, and nothing else.
        QCOMPARE(stored.isBlank(), expected.trimmed().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestClipboardItem)
#include "tst_ClipboardItem.moc"
