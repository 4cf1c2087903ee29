#include "X11Pasteboard.h"

#include <QMimeData>
#include <QTest>

// What capture may take from an owner's offer. The X11 round trips are
// covered by the end-to-end suite under Xvfb; here the decision itself.
class tst_X11Pasteboard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void recordableText_data()
    {
        QTest::addColumn<QStringList>("formats");
        QTest::addColumn<QList<QByteArray>>("values");
        QTest::addColumn<std::optional<QString>>("expected");

        const QString text = QStringLiteral("  two leading spaces\n");
        QTest::newRow("plain text, untouched")
            << QStringList{"text/plain"} << QList<QByteArray>{text.toUtf8()}
            << std::optional<QString>(text);
        QTest::newRow("utf-8 text only")
            << QStringList{"text/plain;charset=utf-8"} << QList<QByteArray>{"zoë"}
            << std::optional<QString>(QStringLiteral("zoë"));
        QTest::newRow("empty text is text") << QStringList{"text/plain"} << QList<QByteArray>{""}
                                            << std::optional<QString>(QString());
        QTest::newRow("image") << QStringList{"image/png"} << QList<QByteArray>{"\x89PNG"}
                               << std::optional<QString>();
        QTest::newRow("files") << QStringList{"text/uri-list"}
                               << QList<QByteArray>{"file:///tmp/a\r\n"}
                               << std::optional<QString>();
        QTest::newRow("nothing") << QStringList{} << QList<QByteArray>{}
                                 << std::optional<QString>();
        QTest::newRow("password manager secret")
            << QStringList{"text/plain", "x-kde-passwordManagerHint"}
            << QList<QByteArray>{"hunter2", "secret"} << std::optional<QString>();
        QTest::newRow("hint with another value")
            << QStringList{"text/plain", "x-kde-passwordManagerHint"}
            << QList<QByteArray>{"hunter2", "public"}
            << std::optional<QString>(QStringLiteral("hunter2"));
    }
    void recordableText()
    {
        QFETCH(QStringList, formats);
        QFETCH(QList<QByteArray>, values);
        QFETCH(std::optional<QString>, expected);

        QMimeData offer;
        for (qsizetype i = 0; i < formats.size(); ++i)
            offer.setData(formats.at(i), values.at(i));
        QCOMPARE(X11Pasteboard::recordableText(offer), expected);
    }
};

QTEST_GUILESS_MAIN(tst_X11Pasteboard)
#include "tst_X11Pasteboard.moc"
