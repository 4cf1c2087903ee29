// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Appearance.h"
#include "HighlightStyle.h"
#include "Symbols.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QTest>

Q_DECLARE_METATYPE(Symbol)

class TestAppearance : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void symbolsPaintInsideTheirRect_data()
    {
        QTest::addColumn<Symbol>("symbol");
        QTest::newRow("star.hexagon.fill") << Symbol::starHexagonFill;
        QTest::newRow("document.on.document") << Symbol::documentOnDocument;
        QTest::newRow("calendar") << Symbol::calendar;
        QTest::newRow("tray") << Symbol::tray;
        QTest::newRow("xmark.circle.fill") << Symbol::xmarkCircleFill;
    }
    void symbolsPaintInsideTheirRect()
    {
        QFETCH(Symbol, symbol);
        const QPixmap pixmap = Symbols::pixmap(symbol, 32, Qt::black, 2.0);
        QCOMPARE(pixmap.size(), QSize(64, 64));
        const QImage image = pixmap.toImage();
        int inked = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                inked += qAlpha(image.pixel(x, y)) > 128;
        // Drawn, and neither a blob nor a speck.
        QVERIFY2(inked > 64 * 64 / 12 && inked < 64 * 64 * 3 / 4,
                 qPrintable(QString::number(inked)));
        QVERIFY(!Symbols::icon(symbol, Qt::black).pixmap(QSize(16, 16), 2.0).isNull());
    }

    // Its colours are tst_Theme's contrast audit.
    void highlightFormatsFollowTheMatches()
    {
        QFont font(QStringLiteral("monospace"), 13);
        const auto formats = HighlightStyle::formats(u"a test, TEST", u"test", font);
        QCOMPARE(formats.size(), 2);
        QCOMPARE(formats[1].start, 8);
        QCOMPARE(formats[1].length, 4);
        QCOMPARE(formats[0].format.fontWeight(), int(QFont::Bold));
        // Cut at a laid-out prefix.
        const auto cut =
            HighlightStyle::formats(TextMatcher(u"test").ranges(u"a test, TEST"), font, 10);
        QCOMPARE(cut.size(), 2);
        QCOMPARE(cut[1].length, 2);
    }
};

QTEST_MAIN(TestAppearance)
#include "tst_Appearance.moc"
