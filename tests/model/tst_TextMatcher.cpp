// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RandomText.h"
#include "TextMatcher.h"

#include <QRandomGenerator>
#include <QTest>

using Ranges = QList<TextRange>;
Q_DECLARE_METATYPE(TextRange)

namespace {

void row(const char *name, const char *text, const char *query, const Ranges &expected)
{
    QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(query) << expected;
}

} // namespace

class TestTextMatcher : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ranges_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("query");
        QTest::addColumn<Ranges>("expected");

        row("every case variant, each word", "a test, a TEST and tESt", "test",
            {{2, 4}, {10, 4}, {19, 4}});
        row("mixed-case query", "zest ZEST", "ZeSt", {{0, 4}, {5, 4}});
        row("pairs do not overlap: four", "aaaa", "aa", {{0, 2}, {2, 2}});
        row("spaces only", "a b c", " \t\n ", {});
        row("outer white space and newlines trimmed", "one two one", " \n one\t\n",
            {{0, 3}, {8, 3}});
        row("inner space is exact", "new  york new york", "new york", {{10, 8}});
        row("non-ASCII case", "Äpfel und äpfel", "äPFEL", {{0, 5}, {10, 5}});
        row("match across lines", "ab\ncd", "b\nc", {{1, 3}});
        // Letters whose lower case depends on context or has variants.
        row("final sigma in capitals", "ΣΟΦΟΣ", "ς", {{0, 1}, {4, 1}});
        row("word with final sigma", "σοφος", "ΣΟΦΟΣ", {{0, 5}});
        row("long s", "ſ", "s", {{0, 1}});
        row("dotted capital I", "İstanbul", "istanbul", {{0, 8}});
        row("Kelvin sign", "5 K", "k", {{2, 1}});
        row("surrogate pair case", "a𐐀b𐐨", "𐐨", {{1, 2}, {4, 2}});
        // Canonical equivalence: the marks cover whole characters of the text.
        row("composed finds decomposed", "CAFE\u0301!", "café", {{0, 5}});
        row("marks in either order", "x e\u0302\u0323", "\u1EC7", {{2, 3}});
        row("letter without its mark", "cafe\u0301 cafe", "cafe", {{6, 4}});
        row("a query starting with a mark", "e\u0301", "\u0301", {});
    }
    void ranges()
    {
        QFETCH(QString, text);
        QFETCH(QString, query);
        QFETCH(Ranges, expected);
        const TextMatcher matcher(query);
        QCOMPARE(matcher.ranges(text), expected);
        QCOMPARE(matcher.matches(text), !expected.isEmpty() || matcher.isEmpty());
    }

    // Long texts are folded a piece at a time, letters written composed and
    // not, where a match covers more of the text than the query: each
    // occurrence is found once and whole, wherever the pieces meet.
    void longTextsWithMarksMatchAcrossPieces()
    {
        // Each unit with what it folds to.
        const QList<std::pair<QString, QChar>> units{{u"x"_qs, u'x'},       {u"X"_qs, u'x'},
                                                     {u"e\u0301"_qs, u'é'}, {u"É"_qs, u'é'},
                                                     {u"E\u0301"_qs, u'é'}, {u"e"_qs, u'e'}};
        QRandomGenerator random(16);
        QString text;
        QString key; // the folded units, one character each
        QList<qsizetype> starts;
        while (text.size() < 300000) {
            const auto &[unit, folded] = units.at(random.bounded(int(units.size())));
            starts.append(text.size());
            text += unit;
            key += folded;
        }
        starts.append(text.size());
        for (const QString &query : {u"xé"_qs, u"éx"_qs, u"E\u0301E\u0301"_qs, u"ée"_qs}) {
            const TextMatcher matcher(query);
            Ranges expected;
            for (qsizetype at = 0; (at = key.indexOf(matcher.query(), at)) >= 0;
                 at += matcher.query().size())
                expected.append({starts[at], starts[at + matcher.query().size()] - starts[at]});
            QVERIFY(!expected.isEmpty());
            QCOMPARE(matcher.ranges(text), expected);
        }
    }
};

QTEST_APPLESS_MAIN(TestTextMatcher)
#include "tst_TextMatcher.moc"
