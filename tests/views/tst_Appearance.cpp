// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "HighlightStyle.h"

#include <QApplication>
#include <QFont>
#include <QTest>

class TestAppearance : public QObject {
    Q_OBJECT
private Q_SLOTS:
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
