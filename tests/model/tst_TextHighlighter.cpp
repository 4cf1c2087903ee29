#include "TextHighlighter.h"

#include <QTest>

using Ranges = QList<TextRange>;
Q_DECLARE_METATYPE(TextRange)

class TestTextHighlighter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ranges_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("query");
        QTest::addColumn<Ranges>("expected");

        QTest::newRow("every case variant, each word")
            << "a test, a TEST and tESt"
            << "test" << Ranges{{2, 4}, {10, 4}, {19, 4}};
        QTest::newRow("mixed-case query") << "test TEST"
                                          << "TeSt" << Ranges{{0, 4}, {5, 4}};
        QTest::newRow("pairs do not overlap: four") << "aaaa"
                                                    << "aa" << Ranges{{0, 2}, {2, 2}};
        QTest::newRow("pairs do not overlap: three") << "aaa"
                                                     << "aa" << Ranges{{0, 2}};
        QTest::newRow("spaces only") << "a b c"
                                     << "   " << Ranges{};
        QTest::newRow("empty query") << "abc"
                                     << "" << Ranges{};
        QTest::newRow("outer white space and newlines trimmed") << "one two one"
                                                                << " \n one\t\n"
                                                                << Ranges{{0, 3}, {8, 3}};
        QTest::newRow("inner space is exact") << "new  york new york"
                                              << "new york" << Ranges{{10, 8}};
        QTest::newRow("no match") << "hello"
                                  << "xyz" << Ranges{};
        QTest::newRow("empty text") << ""
                                    << "x" << Ranges{};
        QTest::newRow("non-ASCII case") << "Äpfel und äpfel"
                                        << "äPFEL" << Ranges{{0, 5}, {10, 5}};
        QTest::newRow("match across lines") << "ab\ncd"
                                            << "b\nc" << Ranges{{1, 3}};
    }
    void ranges()
    {
        QFETCH(QString, text);
        QFETCH(QString, query);
        QFETCH(Ranges, expected);
        QCOMPARE(TextHighlighter::highlightRanges(text, query), expected);
    }

    void normalizedQuery_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("expected");
        QTest::newRow("trim and lower") << "  Hello World\n"
                                        << "hello world";
        QTest::newRow("blank") << " \t\n "
                               << "";
        QTest::newRow("inner space kept") << "A  B"
                                          << "a  b";
    }
    void normalizedQuery()
    {
        QFETCH(QString, raw);
        QFETCH(QString, expected);
        QCOMPARE(TextHighlighter::normalizedQuery(raw), expected);
    }
};

QTEST_APPLESS_MAIN(TestTextHighlighter)
#include "tst_TextHighlighter.moc"
