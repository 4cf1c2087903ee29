// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "RandomText.h"
#include "TextMatcher.h"

#include <QRandomGenerator>
#include <QTest>

using Ranges = QList<TextRange>;
Q_DECLARE_METATYPE(TextRange)

namespace {

// Every occurrence, found on the whole folded text at once.
Ranges wholeTextRanges(const QString &text, const TextMatcher &matcher)
{
    Ranges ranges;
    const QString folded = TextMatcher::fold(text);
    const qsizetype length = matcher.query().size();
    for (qsizetype at = 0; length > 0 && (at = folded.indexOf(matcher.query(), at)) >= 0;
         at += length)
        ranges.append({at, length});
    return ranges;
}

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
        row("jamo find their syllable", "한국", "\u1112\u1161\u11AB", {{0, 1}});
        row("letter without its mark", "cafe\u0301 cafe", "cafe", {{6, 4}});
        row("mark that composes with nothing", "x\u0301 x", "x", {{3, 1}});
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

    // The filter and the marks cannot disagree: on random texts and queries
    // over the letters above, a text matches exactly when it has a mark, and
    // every mark covers text that folds to the query.
    void matchesExactlyWhenMarked()
    {
        const QList<QString> alphabet{
            u"a"_qs,     u"A"_qs,      u"s"_qs,      u"S"_qs,      u"ſ"_qs,      u"σ"_qs,
            u"ς"_qs,     u"Σ"_qs,      u"ο"_qs,      u"Ο"_qs,      u"β"_qs,      u"ϐ"_qs,
            u"Β"_qs,     u"i"_qs,      u"I"_qs,      u"İ"_qs,      u"ı"_qs,      u"\u0307"_qs,
            u"k"_qs,     u"\u212A"_qs, u"𐐀"_qs,      u"𐐨"_qs,      u" "_qs,      u"\n"_qs,
            u"e"_qs,     u"é"_qs,      u"\u0301"_qs, u"\u0323"_qs, u"\u2126"_qs, u"\u1100"_qs,
            u"\u1161"_qs};
        QRandomGenerator random(14);
        for (int round = 0; round < 20000; ++round) {
            const QString text = randomText(random, alphabet, 12);
            const QString query = randomText(random, alphabet, 3);
            const TextMatcher matcher(query);
            const Ranges marks = matcher.ranges(text);
            if (!matcher.isEmpty() && matcher.matches(text) != !marks.isEmpty())
                QFAIL(qPrintable(u"'%1' in '%2'"_qs.arg(query, text)));
            for (const TextRange &mark : marks)
                QCOMPARE(TextMatcher::fold(QStringView(text).sliced(mark.start, mark.length)),
                         matcher.query());
        }
    }

    // Long texts are folded a piece at a time; no match is lost or moved
    // where pieces meet, not even inside a surrogate pair.
    void longTextsMatchAcrossPieces()
    {
        const QList<QString> alphabet{u"x"_qs, u"X"_qs, u"ab"_qs, u"𐐀"_qs, u"𐐨"_qs, u"Σ"_qs};
        QRandomGenerator random(15);
        QString text;
        while (text.size() < 300000)
            text += alphabet.at(random.bounded(int(alphabet.size())));
        for (const QString &query :
             {u"xx"_qs, u"𐐨x"_qs, u"b𐐀"_qs, u"ς𐐨ab"_qs, u"xxxxxxxxxxxxxxxxxxxxxx"_qs}) {
            const TextMatcher matcher(query);
            const Ranges expected = wholeTextRanges(text, matcher);
            QCOMPARE(matcher.ranges(text), expected);
            const auto after = std::find_if(expected.cbegin(), expected.cend(),
                                            [](const TextRange &r) { return r.start >= 70000; });
            QCOMPARE(matcher.indexIn(text, 70000), after == expected.cend() ? -1 : after->start);
        }
    }

    // The same with letters written composed and not, where a match covers
    // more of the text than the query: each occurrence is found once and
    // whole, wherever the pieces meet.
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
