// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "DateFormatter.h"

#include <QLocale>
#include <QTest>

// Runs with TZ=Europe/Berlin (CET in winter, CEST in summer).
class tst_DateFormatter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void formats_data();
    void formats();
    void customPattern();
};

void tst_DateFormatter::initTestCase()
{
    // The user's own locale must not leak into the output.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

void tst_DateFormatter::formats_data()
{
    QTest::addColumn<QDateTime>("instant");
    QTest::addColumn<QString>("timestamp");
    QTest::addColumn<QString>("time");

    auto utc = [](int y, int mo, int d, int h, int mi, int s = 0, int ms = 0) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
    };
    QTest::newRow("evening") << utc(2026, 12, 5, 20, 4, 7) << "05/Dec/2026 09:04:07 PM"
                             << "09:04 PM";
    QTest::newRow("midnight") << utc(2026, 12, 4, 23, 0) << "05/Dec/2026 12:00:00 AM"
                              << "12:00 AM";
    QTest::newRow("just before one")
        << utc(2026, 12, 4, 23, 59, 59, 999) << "05/Dec/2026 12:59:59 AM"
        << "12:59 AM";
    QTest::newRow("morning") << utc(2026, 1, 9, 8, 5, 6) << "09/Jan/2026 09:05:06 AM"
                             << "09:05 AM";
    QTest::newRow("just before noon") << utc(2026, 12, 5, 10, 59, 59) << "05/Dec/2026 11:59:59 AM"
                                      << "11:59 AM";
    QTest::newRow("noon") << utc(2026, 12, 5, 11, 0) << "05/Dec/2026 12:00:00 PM"
                          << "12:00 PM";
    QTest::newRow("one in the afternoon") << utc(2026, 12, 5, 12, 0) << "05/Dec/2026 01:00:00 PM"
                                          << "01:00 PM";
    QTest::newRow("summer time") << utc(2026, 5, 31, 22, 30) << "01/Jun/2026 12:30:00 AM"
                                 << "12:30 AM";
    QTest::newRow("given in local time")
        << QDateTime(QDate(2026, 3, 29), QTime(3, 15), Qt::LocalTime) << "29/Mar/2026 03:15:00 AM"
        << "03:15 AM";
    QTest::newRow("invalid") << QDateTime() << ""
                             << "";
}

void tst_DateFormatter::formats()
{
    QFETCH(QDateTime, instant);
    QFETCH(QString, timestamp);
    QFETCH(QString, time);

    QCOMPARE(timestampFormatter().format(instant), timestamp);
    QCOMPARE(timeFormatter().format(instant), time);
}

void tst_DateFormatter::customPattern()
{
    const DateFormatter formatter(u"yyyy-MM-dd HH:mm, MMM");
    const QDateTime instant(QDate(2026, 7, 4), QTime(6, 7), Qt::UTC);
    QCOMPARE(formatter.format(instant), QStringLiteral("2026-07-04 08:07, Jul"));
}

QTEST_GUILESS_MAIN(tst_DateFormatter)
#include "tst_DateFormatter.moc"
