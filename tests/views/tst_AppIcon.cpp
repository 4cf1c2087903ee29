// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AppIcon.h"

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <QTest>

// The icon comes from the SVG compiled into the binary: a blue hexagon with
// a white star cut out of it, on a transparent ground.
namespace {

QImage asArgb(const QPixmap &pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

// What the SVG gives when drawn straight at `side` pixels.
QImage drawnDirectly(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/quillmark/quillmark.svg"));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestAppIcon : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rendersTheSvgAtEachSize_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("title bar") << 16;
        QTest::newRow("odd size") << 22;
        QTest::newRow("taskbar") << 48;
        QTest::newRow("switcher") << 256;
    }
    void rendersTheSvgAtEachSize()
    {
        QFETCH(int, size);
        const QIcon icon = AppIcon::icon();
        QVERIFY(!icon.isNull());
        // A larger size asked first must not be what the smaller one is
        // scaled from: each is drawn for its own pixels.
        (void)icon.pixmap(512, 512);
        const QImage image = asArgb(icon.pixmap(size, size));
        QCOMPARE(image.size(), QSize(size, size));
        QCOMPARE(image, drawnDirectly(size));

        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        // The hexagon's body, beside the star, in the icon's blue.
        const QColor body = image.pixelColor(size * 3 / 16, size / 2);
        QVERIFY2(body.blue() > 180 && body.red() < 90 && body.alpha() == 255,
                 qPrintable(body.name(QColor::HexArgb)));
        const QColor star = image.pixelColor(size / 2, size / 2);
        QVERIFY2(star.red() > 200 && star.green() > 200 && star.blue() > 200,
                 qPrintable(star.name(QColor::HexArgb)));
    }

    // A title bar on a scaled screen, a wide slot in a layout: the drawing
    // keeps its square shape and uses the screen's pixels.
    void fitsTheRequestedShapeAndScale_data()
    {
        QTest::addColumn<QSize>("requested");
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<QSize>("pixels");
        QTest::newRow("doubled") << QSize(16, 16) << 2.0 << QSize(32, 32);
        QTest::newRow("one and a half") << QSize(16, 16) << 1.5 << QSize(24, 24);
        QTest::newRow("wide") << QSize(64, 32) << 1.0 << QSize(32, 32);
        QTest::newRow("tall") << QSize(20, 40) << 1.0 << QSize(20, 20);
    }
    void fitsTheRequestedShapeAndScale()
    {
        QFETCH(QSize, requested);
        QFETCH(qreal, scale);
        QFETCH(QSize, pixels);
        const QPixmap pixmap = AppIcon::icon().pixmap(requested, scale);
        QCOMPARE(pixmap.size(), pixels);
        QCOMPARE(pixmap.devicePixelRatio(), scale);
        QImage image = asArgb(pixmap);
        image.setDevicePixelRatio(1.0);
        QCOMPARE(image, drawnDirectly(pixels.width()));
    }

    // Painted into a widget's rectangle (as a label or a dialog shows it):
    // centred, with nothing drawn outside the square.
    void paintsCentredInARectangle()
    {
        QImage canvas(60, 20, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        AppIcon::icon().paint(&painter, canvas.rect());
        painter.end();
        const QImage shown = canvas.convertToFormat(QImage::Format_ARGB32).copy(20, 0, 20, 20);
        QCOMPARE(shown, drawnDirectly(20));
        for (int x : {0, 19, 40, 59})
            QCOMPARE(qAlpha(canvas.pixel(x, 10)), 0);
    }
};

QTEST_MAIN(TestAppIcon)
#include "tst_AppIcon.moc"
