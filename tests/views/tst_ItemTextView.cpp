// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ItemTextView.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QScrollBar>
#include <QTest>

#include <set>

namespace {

// Adjacent marks that together are no longer than one match are the two
// halves of a match cut where the view cut the text.
QList<TextRange> joinCutMatches(QList<TextRange> marks, qsizetype matchLength)
{
    QList<TextRange> joined;
    for (const TextRange &mark : marks) {
        if (!joined.isEmpty() && joined.last().start + joined.last().length == mark.start &&
            joined.last().length + mark.length <= matchLength)
            joined.last().length += mark.length;
        else
            joined.append(mark);
    }
    return joined;
}

} // namespace

class TestItemTextView : public QObject {
    Q_OBJECT

    std::unique_ptr<ItemTextView> view;

    ItemTextView &show(const QString &text, const QString &query = {})
    {
        view = std::make_unique<ItemTextView>();
        QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        mono.setPixelSize(13);
        view->setFont(mono);
        view->setMargin(16);
        view->resize(660, 380);
        view->setText(text, query);
        view->show();
        if (!QTest::qWaitForWindowExposed(view.get()))
            qFatal("the view did not show");
        return *view;
    }

    // Every mark, collected page by page from the top to the end.
    QList<TextRange> allMarks()
    {
        QScrollBar *bar = view->verticalScrollBar();
        std::set<std::pair<qsizetype, qsizetype>> seen;
        for (int value = 0;; value += bar->pageStep()) {
            bar->setValue(value);
            for (const TextRange &mark : view->visibleMarks())
                seen.insert({mark.start, mark.length});
            if (value >= bar->maximum())
                break;
        }
        QList<TextRange> marks;
        for (const auto &[start, length] : seen)
            marks.append({start, length});
        return marks;
    }
    // The text offset at the bottom right of the viewport: the end of the
    // last line on screen, or of the last piece laid out below it.
    qsizetype bottomOffset()
    {
        return view->offsetAt(
            QPoint(view->viewport()->width() - 1, view->viewport()->height() - 1));
    }

private Q_SLOTS:
    void cleanup() { view.reset(); }

    void selectAllCopiesTheExactText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("line breaks of every kind") << QStringLiteral("one\r\ntwo\rthree\n\nfour\n");
        QString pieces;
        for (int i = 0; i < 3000; ++i)
            pieces += QStringLiteral("line %1 of many\r\n").arg(i);
        QTest::newRow("many lines, cut at breaks") << pieces;
        // No space at all, and a surrogate pair across every possible cut.
        QTest::newRow("surrogate pairs") << QString::fromUtf8("\xF0\x9F\x98\x80").repeated(9000);
        // Cuts fall inside characters of two and three bytes unless moved.
        QTest::newRow("two- and three-byte characters") << QStringLiteral("é中").repeated(5000) +
                                                               QStringLiteral("\r\n") +
                                                               QStringLiteral("ü").repeated(5000);
    }
    void selectAllCopiesTheExactText()
    {
        QFETCH(QString, text);
        ItemTextView &v = show(text);
        v.selectAll();
        QCOMPARE(v.selectedText(), text);
        QApplication::clipboard()->clear();
        QTest::keyClick(&v, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), text);

        // The last line shows once the view is at its end.
        v.verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
        QStringView withoutLastBreak(text);
        if (withoutLastBreak.endsWith(u'\n'))
            withoutLastBreak.chop(1);
        if (withoutLastBreak.endsWith(u'\r'))
            withoutLastBreak.chop(1);
        QVERIFY(bottomOffset() >= withoutLastBreak.size());
    }

    void marksFollowTheWholeTextAcrossCuts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("query");
        // Matches overlap themselves and one straddles the first cut.
        QTest::newRow("overlapping query")
            << QStringLiteral("b") + QString(10001, u'a') << QStringLiteral(" AA ");
        QString lines;
        for (int i = 0; i < 1500; ++i)
            lines += QStringLiteral("End\nstart ");
        QTest::newRow("query over a line break") << lines << QStringLiteral("end\nSTART");
        // Offsets count UTF-16 units while the text is held as UTF-8, and
        // folding changes some characters' byte length (K, İ).
        QTest::newRow("non-ASCII, marks in UTF-16 offsets")
            << QStringLiteral("İ \u212A 𐐀 ΣΟΦΟΣ grüße ").repeated(1500) << QStringLiteral("σοφος");
        QTest::newRow("Kelvin signs") << QString(12000, QChar(0x212A)) << QStringLiteral("kk");
    }
    void marksFollowTheWholeTextAcrossCuts()
    {
        QFETCH(QString, text);
        QFETCH(QString, query);
        show(text, query);
        const QList<TextRange> expected = TextMatcher(query).ranges(text);
        QVERIFY(expected.size() > 1000);
        QCOMPARE(joinCutMatches(allMarks(), query.trimmed().size()), expected);
    }
};

QTEST_MAIN(TestItemTextView)
#include "tst_ItemTextView.moc"
