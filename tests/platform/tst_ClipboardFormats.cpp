// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ClipboardFormats.h"

#include <QTest>

// Which type capture asks an owner for, and how the answer reads.
class TestClipboardFormats : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void preferredTextType_data()
    {
        QTest::addColumn<QList<QByteArray>>("offered");
        QTest::addColumn<std::optional<QByteArray>>("expected");
        using Type = std::optional<QByteArray>;
        QTest::newRow("a Qt app: utf-8 text first")
            << QList<QByteArray>{"TARGETS", "UTF8_STRING", "text/plain;charset=utf-8", "STRING"}
            << Type("text/plain;charset=utf-8");
        QTest::newRow("xclip") << QList<QByteArray>{"TARGETS", "STRING", "UTF8_STRING"}
                               << Type("UTF8_STRING");
        QTest::newRow("Latin-1 only") << QList<QByteArray>{"TIMESTAMP", "STRING"} << Type("STRING");
        QTest::newRow("image") << QList<QByteArray>{"TARGETS", "image/png"} << Type();
        QTest::newRow("files") << QList<QByteArray>{"text/uri-list"} << Type();
        QTest::newRow("the hint alone") << QList<QByteArray>{"x-kde-passwordManagerHint"} << Type();
    }
    void preferredTextType()
    {
        QFETCH(QList<QByteArray>, offered);
        QFETCH(std::optional<QByteArray>, expected);
        QCOMPARE(ClipboardFormats::preferredTextType(offered), expected);
    }

    void decodeAndSecret()
    {
        QCOMPARE(ClipboardFormats::decode("STRING", "caf\xe9"), QStringLiteral("café"));
        QCOMPARE(ClipboardFormats::decode("UTF8_STRING", "caf\xc3\xa9"), QStringLiteral("café"));
        QCOMPARE(ClipboardFormats::decode("text/plain;charset=utf-8", "  a\n"),
                 QStringLiteral("  a\n"));
        QVERIFY(ClipboardFormats::marksSecret("secret"));
        QVERIFY(ClipboardFormats::marksSecret("secret\n"));
        QVERIFY(!ClipboardFormats::marksSecret("secretive"));
        QVERIFY(!ClipboardFormats::marksSecret(""));
    }
};

QTEST_GUILESS_MAIN(TestClipboardFormats)
#include "tst_ClipboardFormats.moc"
