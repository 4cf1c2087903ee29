// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "DateFormatter.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QTest>

#include <array>
#include <ctime>

// Runs with TZ=Europe/Berlin (CET in winter, CEST in summer).
class TestDateFormatter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void formats_data();
    void formats();
    void agreesWithTheSystemClock_data();
    void agreesWithTheSystemClock();
    void cleanupTestCase();

private:
    QByteArray m_zone = qgetenv("TZ");
};

void TestDateFormatter::initTestCase()
{
    // The user's own locale must not leak into the output.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

void TestDateFormatter::formats_data()
{
    QTest::addColumn<QDateTime>("instant");
    QTest::addColumn<QString>("timestamp");
    QTest::addColumn<QString>("time");

    auto utc = [](int y, int mo, int d, int h, int mi, int s = 0, int ms = 0) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
    };
    QTest::newRow("evening") << utc(2026, 12, 5, 20, 4, 7) << "05/Dec/2026 09:04:07 PM"
                             << "09:04 PM";
    QTest::newRow("given in local time")
        << QDateTime(QDate(2026, 3, 29), QTime(3, 15), Qt::LocalTime) << "29/Mar/2026 03:15:00 AM"
        << "03:15 AM";
    QTest::newRow("invalid") << QDateTime() << ""
                             << "";
}

void TestDateFormatter::formats()
{
    QFETCH(QDateTime, instant);
    QFETCH(QString, timestamp);
    QFETCH(QString, time);

    QCOMPARE(timestampFormatter().format(instant), timestamp);
    QCOMPARE(timeFormatter().format(instant), time);
}

// The C library's own reading of the local time, spelled out field by field:
// what the formatter printed before it used QLocale.
static QString timestampFromSystemClock(std::time_t seconds)
{
    static constexpr std::array<const char *, 12> months{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm fields{};
    localtime_r(&seconds, &fields);
    const int hour12 = fields.tm_hour % 12 == 0 ? 12 : fields.tm_hour % 12;
    return QString::asprintf("%02d/%s/%04d %02d:%02d:%02d %s", fields.tm_mday,
                             months[static_cast<std::size_t>(fields.tm_mon)], fields.tm_year + 1900,
                             hour12, fields.tm_min, fields.tm_sec,
                             fields.tm_hour < 12 ? "AM" : "PM");
}

void TestDateFormatter::agreesWithTheSystemClock_data()
{
    QTest::addColumn<QByteArray>("zone");
    // Summer time forward and back, half-hour shifts, the southern
    // hemisphere, odd offsets and none at all.
    for (const char *zone : {"Europe/Berlin", "America/New_York", "Australia/Lord_Howe",
                             "America/Santiago", "Pacific/Chatham", "Asia/Kolkata", "UTC"})
        QTest::newRow(zone) << QByteArray(zone);
}

void TestDateFormatter::agreesWithTheSystemClock()
{
    QFETCH(QByteArray, zone);
    qputenv("TZ", zone);
    tzset();

    QList<qint64> instants;
    // Every quarter hour of two years, so each change of offset is crossed,
    // and random instants (with milliseconds) from 1970 to 2100.
    const qint64 from = QDateTime(QDate(2025, 1, 1), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
    for (qint64 ms = from; ms < from + 2 * 366 * 86'400'000LL; ms += 15 * 60'000)
        instants.append(ms);
    QRandomGenerator random(20261207);
    for (int i = 0; i < 20'000; ++i)
        instants.append(random.bounded(Q_INT64_C(4'102'444'800'000)));

    for (const qint64 ms : instants) {
        const QDateTime instant = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
        const QString expected = timestampFromSystemClock(static_cast<std::time_t>(ms / 1000));
        const QString actual =
            timestampFormatter().format(instant) + u'|' + timeFormatter().format(instant);
        const QString wanted = expected + u'|' + expected.sliced(12, 5) + expected.sliced(20);
        if (actual != wanted)
            QFAIL(qPrintable(u"%1 ms: %2, expected %3"_qs.arg(ms).arg(actual, wanted)));
    }
}

void TestDateFormatter::cleanupTestCase()
{
    qputenv("TZ", m_zone);
    tzset();
}

QTEST_GUILESS_MAIN(TestDateFormatter)
#include "tst_DateFormatter.moc"
