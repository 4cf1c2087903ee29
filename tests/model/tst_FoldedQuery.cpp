// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FoldedQuery.h"
#include "RandomText.h"
#include "TextMatcher.h"

#include <QRandomGenerator>
#include <QTest>

class TestFoldedQuery : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The byte search finds what the UTF-16 rule finds, folded or not, on
    // random texts over letters whose folding changes their length in
    // UTF-8 (ſ, K, İ, Ω), depends on context (ς) or needs two code units.
    void findsWhatTheMatcherFinds()
    {
        const QList<QString> alphabet{
            u"a"_qs, u"A"_qs,      u"s"_qs,      u"S"_qs,      u"ſ"_qs,      u"σ"_qs,
            u"ς"_qs, u"Σ"_qs,      u"i"_qs,      u"I"_qs,      u"İ"_qs,      u"k"_qs,
            u"K"_qs, u"\u212A"_qs, u"\u2126"_qs, u"ω"_qs,      u"é"_qs,      u"É"_qs,
            u"𐐀"_qs, u"𐐨"_qs,      u" "_qs,      u"\n"_qs,     u"中"_qs,     u"\uFFFD"_qs,
            u"e"_qs, u"E"_qs,      u"\u0301"_qs, u"\u0323"_qs, u"\u1100"_qs, u"\u1161"_qs};
        QRandomGenerator random(16);
        for (int round = 0; round < 20000; ++round) {
            const QString text = randomText(random, alphabet, 12);
            const QString search = randomText(random, alphabet, 3);
            const TextMatcher matcher(search);
            const FoldedQuery query(matcher);
            const QByteArray utf8 = text.toUtf8();
            const bool expected = matcher.matches(text);
            if (query.isIn(TextMatcher::foldUtf8(utf8)) != expected ||
                query.isInUnfolded(utf8) != expected)
                QFAIL(qPrintable(u"'%1' in '%2'"_qs.arg(search, text)));
        }
    }

    // A long text is folded a window at a time: an occurrence is found
    // wherever it falls against the windows' edges, also when the text
    // folds shorter (so an occurrence spans more text than its folded
    // length) and when the edges fall inside characters.
    void findsAcrossWindowEdges_data()
    {
        QTest::addColumn<QString>("filler");
        QTest::addColumn<QString>("occurrence");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("nearMiss");
        QTest::newRow("ASCII") << u"x"_qs << u"NeEdleZ"_qs << u"needlez"_qs << u"needl"_qs;
        QTest::newRow("Kelvin signs fold to a third")
            << u"x"_qs << u"\u212A\u212A\u212A\u212A"_qs << u"kkkk"_qs << u"\u212A\u212A\u212A"_qs;
        QTest::newRow("three-byte filler, pairs in the search")
            << u"中"_qs << u"a𐐀b"_qs << u"A𐐨B"_qs << u"a𐐀"_qs;
        QTest::newRow("letters with marks, composed and not")
            << u"e\u0301"_qs << u"CAFÉ"_qs << u"cafe\u0301"_qs << u"CAFE"_qs;
    }
    void findsAcrossWindowEdges()
    {
        QFETCH(QString, filler);
        QFETCH(QString, occurrence);
        QFETCH(QString, search);
        QFETCH(QString, nearMiss);
        const FoldedQuery query{TextMatcher(search)};
        const qsizetype fillerBytes = filler.toUtf8().size();
        // The first window ends at 64 KiB; the occurrence starts shortly
        // before, at, or after that edge (in filler characters).
        const qsizetype edge = (qsizetype(1) << 16) / fillerBytes;
        for (qsizetype before = edge - 12; before <= edge + 4; ++before) {
            const QString head = filler.repeated(before);
            const QString tail = filler.repeated(edge);
            QVERIFY2(query.isInUnfolded((head + occurrence + tail).toUtf8()),
                     qPrintable(u"occurrence after %1 fillers"_qs.arg(before)));
            QVERIFY(!query.isInUnfolded((head + nearMiss + tail).toUtf8()));
        }
    }

    // What folding leaves as it is comes back shared: a huge copied text
    // is not held twice.
    void foldingSharesWhatItLeaves_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("shared");
        QTest::newRow("lower-case ASCII") << u"git status -sb\n\tok"_qs << true;
        QTest::newRow("a capital") << u"git Status"_qs << false;
        // Folding gives up on bytes partway and folds the whole text instead.
        QTest::newRow("non-ASCII after capitals") << u"Git 中 ΣΟΦΟΣ"_qs << false;
    }
    void foldingSharesWhatItLeaves()
    {
        QFETCH(QString, text);
        QFETCH(bool, shared);
        const QByteArray utf8 = text.toUtf8();
        const QByteArray folded = TextMatcher::foldUtf8(utf8);
        QCOMPARE(folded, TextMatcher::fold(text).toUtf8());
        QCOMPARE(folded.isSharedWith(utf8), shared);
    }
};

QTEST_APPLESS_MAIN(TestFoldedQuery)
#include "tst_FoldedQuery.moc"
