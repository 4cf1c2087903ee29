// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AppIcon.h"

#include <QIcon>
#include <QImage>
#include <QTest>

// The icon comes from the SVG compiled into the binary: a blue hexagon with
// a white star cut out of it, on a transparent ground.
class tst_AppIcon : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rendersTheSvgAtEachSize_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("title bar") << 16;
        QTest::newRow("taskbar") << 48;
        QTest::newRow("switcher") << 256;
    }
    void rendersTheSvgAtEachSize()
    {
        QFETCH(int, size);
        const QIcon icon = AppIcon::icon();
        QVERIFY(!icon.isNull());
        QVERIFY(icon.availableSizes().contains(QSize(size, size)));
        const QImage image =
            icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(size, size));

        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        // The hexagon's body, beside the star, in the icon's blue.
        const QColor body = image.pixelColor(size * 3 / 16, size / 2);
        QVERIFY2(body.blue() > 180 && body.red() < 90 && body.alpha() == 255,
                 qPrintable(body.name(QColor::HexArgb)));
        const QColor star = image.pixelColor(size / 2, size / 2);
        QVERIFY2(star.red() > 200 && star.green() > 200 && star.blue() > 200,
                 qPrintable(star.name(QColor::HexArgb)));
    }
};

QTEST_MAIN(tst_AppIcon)
#include "tst_AppIcon.moc"
