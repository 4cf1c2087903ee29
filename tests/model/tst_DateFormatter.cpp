// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "DateFormatter.h"

#include <QLocale>
#include <QTest>

// Runs with TZ=Europe/Berlin (CET in winter, CEST in summer).
class TestDateFormatter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        // The user's own locale must not leak into the output.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void formats_data()
    {
        QTest::addColumn<QDateTime>("instant");
        QTest::addColumn<QString>("timestamp");
        QTest::addColumn<QString>("time");

        auto utc = [](int y, int mo, int d, int h, int mi, int s = 0, int ms = 0) {
            return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
        };
        QTest::newRow("evening") << utc(2026, 12, 5, 20, 4, 7) << "05/Dec/2026 09:04:07 PM"
                                 << "09:04 PM";
        // The twelve-hour clock's edges, and the local time on either side of
        // both daylight-saving changes (2026: 29 March and 25 October).
        QTest::newRow("midnight") << utc(2026, 12, 5, 23, 0) << "06/Dec/2026 12:00:00 AM"
                                  << "12:00 AM";
        QTest::newRow("spring forward") << utc(2026, 3, 29, 1, 0) << "29/Mar/2026 03:00:00 AM"
                                        << "03:00 AM";
        QTest::newRow("fall back") << utc(2026, 10, 25, 1, 0) << "25/Oct/2026 02:00:00 AM"
                                   << "02:00 AM";
        QTest::newRow("noon") << utc(2026, 7, 1, 10, 0) << "01/Jul/2026 12:00:00 PM"
                              << "12:00 PM";
    }

    void formats()
    {
        QFETCH(QDateTime, instant);
        QFETCH(QString, timestamp);
        QFETCH(QString, time);

        QCOMPARE(timestampFormatter().format(instant), timestamp);
        QCOMPARE(timeFormatter().format(instant), time);
    }
};

QTEST_GUILESS_MAIN(TestDateFormatter)
#include "tst_DateFormatter.moc"
