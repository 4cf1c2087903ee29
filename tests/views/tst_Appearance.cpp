#include "Appearance.h"
#include "HighlightStyle.h"
#include "Symbols.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QTest>

namespace {

struct Rgb {
    double r, g, b;
};

void compareColor(const QColor &actual, Rgb expected)
{
    QVERIFY2(std::abs(actual.redF() - expected.r) < 0.002 &&
                 std::abs(actual.greenF() - expected.g) < 0.002 &&
                 std::abs(actual.blueF() - expected.b) < 0.002 && actual.alpha() == 255,
             qPrintable(QStringLiteral("got %1, %2, %3")
                            .arg(actual.redF())
                            .arg(actual.greenF())
                            .arg(actual.blueF())));
}

} // namespace

Q_DECLARE_METATYPE(ThemeMode)
Q_DECLARE_METATYPE(ColorScheme)
Q_DECLARE_METATYPE(Rgb)

class TestAppearance : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aurora_data()
    {
        QTest::addColumn<ThemeMode>("mode");
        QTest::addColumn<ColorScheme>("scheme");
        QTest::addColumn<Rgb>("first");
        QTest::addColumn<Rgb>("second");
        QTest::addColumn<Rgb>("third");
        QTest::addColumn<Rgb>("glow");
        const auto D = ColorScheme::dark;
        const auto L = ColorScheme::light;
        QTest::newRow("blue dark")
            << ThemeMode::auroraBlue << D << Rgb{0.06, 0.08, 0.14} << Rgb{0.09, 0.12, 0.21}
            << Rgb{0.15, 0.10, 0.28} << Rgb{0.46, 0.58, 1.00};
        QTest::newRow("blue light")
            << ThemeMode::auroraBlue << L << Rgb{0.98, 0.99, 1.00} << Rgb{0.95, 0.97, 1.00}
            << Rgb{0.92, 0.94, 0.99} << Rgb{0.38, 0.50, 0.96};
        QTest::newRow("ember dark")
            << ThemeMode::auroraEmber << D << Rgb{0.15, 0.07, 0.07} << Rgb{0.21, 0.10, 0.09}
            << Rgb{0.28, 0.12, 0.09} << Rgb{1.00, 0.45, 0.28};
        QTest::newRow("ember light")
            << ThemeMode::auroraEmber << L << Rgb{1.00, 0.98, 0.97} << Rgb{1.00, 0.95, 0.93}
            << Rgb{0.99, 0.92, 0.90} << Rgb{1.00, 0.53, 0.34};
        QTest::newRow("gold dark")
            << ThemeMode::auroraGold << D << Rgb{0.14, 0.10, 0.06} << Rgb{0.20, 0.15, 0.08}
            << Rgb{0.28, 0.20, 0.10} << Rgb{0.91, 0.74, 0.35};
        QTest::newRow("gold light")
            << ThemeMode::auroraGold << L << Rgb{1.00, 0.99, 0.95} << Rgb{0.99, 0.97, 0.90}
            << Rgb{0.97, 0.94, 0.84} << Rgb{0.83, 0.64, 0.28};
    }
    void aurora()
    {
        QFETCH(ThemeMode, mode);
        QFETCH(ColorScheme, scheme);
        QFETCH(Rgb, first);
        QFETCH(Rgb, second);
        QFETCH(Rgb, third);
        QFETCH(Rgb, glow);
        QVERIFY(Appearance::isAurora(mode));
        QVERIFY(!Appearance::preferredScheme(mode));
        const QList<QColor> colors = Appearance::auroraGradientColors(mode, scheme);
        QCOMPARE(colors.size(), 3);
        compareColor(colors[0], first);
        compareColor(colors[1], second);
        compareColor(colors[2], third);
        compareColor(Appearance::auroraGlowColor(mode, scheme), glow);
    }

    void plainThemes_data()
    {
        QTest::addColumn<ThemeMode>("mode");
        QTest::addColumn<int>("preferred"); // -1 none, else the scheme
        QTest::newRow("system") << ThemeMode::system << -1;
        QTest::newRow("light") << ThemeMode::light << int(ColorScheme::light);
        QTest::newRow("dark") << ThemeMode::dark << int(ColorScheme::dark);
    }
    void plainThemes()
    {
        QFETCH(ThemeMode, mode);
        QFETCH(int, preferred);
        QVERIFY(!Appearance::isAurora(mode));
        const auto scheme = Appearance::preferredScheme(mode);
        QCOMPARE(scheme ? int(*scheme) : -1, preferred);
        for (ColorScheme s : {ColorScheme::light, ColorScheme::dark}) {
            QVERIFY(Appearance::auroraGradientColors(mode, s).isEmpty());
            QCOMPARE(Appearance::auroraGlowColor(mode, s).alpha(), 0);
        }
    }

    void accents()
    {
        using A = AccentColorChoice;
        QCOMPARE(Appearance::accentColor(A::yellow), NamedColors::yellow());
        QCOMPARE(Appearance::accentColor(A::neutral), NamedColors::gray());
        QCOMPARE(Appearance::accentColor(A::red), NamedColors::red());
        QCOMPARE(Appearance::accentColor(A::blue), NamedColors::blue());
        QCOMPARE(Appearance::accentForegroundColor(A::yellow), NamedColors::black());
        QCOMPARE(Appearance::accentForegroundColor(A::neutral), NamedColors::black());
        QCOMPARE(Appearance::accentForegroundColor(A::red), NamedColors::white());
        QCOMPARE(Appearance::accentForegroundColor(A::blue), NamedColors::white());
        // Alpha is stored in 16 bits: compare to the nearest step.
        QCOMPARE(Appearance::hoverBackground(NamedColors::blue(), ColorScheme::dark).alpha(), 46);
        QCOMPARE(Appearance::hoverBackground(NamedColors::blue(), ColorScheme::light).alpha(), 26);
        QCOMPARE(Appearance::hoverBackground(NamedColors::blue(), ColorScheme::dark).rgb(),
                 NamedColors::blue().rgb());
        QCOMPARE(Appearance::itemFontSize(FontSizeChoice::small), 12.0);
        QCOMPARE(Appearance::itemFontSize(FontSizeChoice::medium), 14.0);
        QCOMPARE(Appearance::itemFontSize(FontSizeChoice::large), 16.0);
    }

    void forcedSchemesGiveMatchingPalettes()
    {
        QWidget window;
        QCOMPARE(Appearance::applyScheme(&window, ThemeMode::dark), ColorScheme::dark);
        QVERIFY(window.palette().color(QPalette::Window).lightness() < 80);
        QCOMPARE(Appearance::applyScheme(&window, ThemeMode::light), ColorScheme::light);
        QVERIFY(window.palette().color(QPalette::Window).lightness() > 200);
        // The offscreen desktop is light, and "system" follows it.
        QCOMPARE(Appearance::applyScheme(&window, ThemeMode::system), ColorScheme::light);
    }

    void radialGlowFadesFromCornerToClear()
    {
        QImage image(500, 500, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        Appearance::paintRadialGlow(&painter, image.rect(), Qt::TopRightCorner, 20, 420,
                                    NamedColors::red(), 0.5);
        painter.end();
        QVERIFY(std::abs(qAlpha(image.pixel(495, 5)) - 128) <= 1); // inside the start radius
        QVERIFY(qAlpha(image.pixel(499 - 200, 0)) > 0);
        QCOMPARE(qAlpha(image.pixel(0, 499)), 0); // beyond the end radius
    }

    void symbolsPaintInsideTheirRect_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"star.hexagon.fill", "document.on.document", "calendar", "tray"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void symbolsPaintInsideTheirRect()
    {
        QFETCH(QString, name);
        QVERIFY(Symbols::isKnown(name));
        const QPixmap pixmap = Symbols::pixmap(name, 32, Qt::black, 2.0);
        QCOMPARE(pixmap.size(), QSize(64, 64));
        const QImage image = pixmap.toImage();
        int inked = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                inked += qAlpha(image.pixel(x, y)) > 128;
        // Drawn, and neither a blob nor a speck.
        QVERIFY2(inked > 64 * 64 / 12 && inked < 64 * 64 * 3 / 4,
                 qPrintable(QString::number(inked)));
        QVERIFY(!Symbols::icon(name, Qt::black).pixmap(QSize(16, 16), 2.0).isNull());
    }

    void highlightFormatsAreBoldBlackOnYellow()
    {
        QFont font(QStringLiteral("monospace"), 13);
        const auto formats = HighlightStyle::formats(u"a test, TEST", u"test", font);
        QCOMPARE(formats.size(), 2);
        QCOMPARE(formats[1].start, 8);
        QCOMPARE(formats[1].length, 4);
        const QTextCharFormat &f = formats[0].format;
        QCOMPARE(f.fontWeight(), int(QFont::Bold));
        QCOMPARE(f.foreground().color(), NamedColors::black());
        QColor mark = NamedColors::yellow();
        mark.setAlphaF(0.85f);
        QCOMPARE(f.background().color(), mark);
        // Cut at a laid-out prefix.
        const auto cut = HighlightStyle::formats(
            TextHighlighter::highlightRanges(u"a test, TEST", u"test"), font, 10);
        QCOMPARE(cut.size(), 2);
        QCOMPARE(cut[1].length, 2);
    }
};

QTEST_MAIN(TestAppearance)
#include "tst_Appearance.moc"
