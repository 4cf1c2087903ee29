// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AppSettings.h"
#include "FakeLoginItem.h"
#include "MemorySettingsBackend.h"
#include "StdoutCapture.h"

#include <QSignalSpy>
#include <QTest>

#include <algorithm>

class TestAppSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void storedValuesFallBack_data();
    void storedValuesFallBack();
    void constructionWritesNothingAndAssignmentAllTenKeys();
    void assignmentSignalsOnlyRealChanges();
    void loginItemFailurePrintsAndKeepsValue();
};

using Stored = QHash<QString, QVariant>;

// What one stored value turns into; every other setting must keep its default.
void TestAppSettings::storedValuesFallBack_data()
{
    QTest::addColumn<Stored>("stored");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("expected");

    auto row = [](const char *name, const QString &key, const QVariant &value,
                  const QVariant &expected) {
        QTest::newRow(name) << Stored{{key, value}} << key << expected;
    };
    // Per kind of setting: a good value, and values of the wrong type,
    // spelling or range, which fall back to the default.
    const QString retention = QStringLiteral("retentionPeriod");
    row("retention 7", retention, qlonglong(7), int(RetentionPeriod::oneWeek));
    row("retention 365", retention, qlonglong(365), int(RetentionPeriod::oneMonth));
    row("retention as string", retention, QStringLiteral("7"), int(RetentionPeriod::oneMonth));
    row("retention as double", retention, 7.5, int(RetentionPeriod::oneMonth));
    const QString window = QStringLiteral("duplicateSuppressionWindow");
    row("window 0", window, qlonglong(0), int(DuplicateSuppressionWindow::off));
    row("window -5", window, qlonglong(-5), int(DuplicateSuppressionWindow::five));
    const QString capture = QStringLiteral("captureMode");
    row("capture exact", capture, QStringLiteral("recordEveryCopy"),
        int(CaptureMode::recordEveryCopy));
    row("capture case variant", capture, QStringLiteral("RecordEveryCopy"),
        int(CaptureMode::suppressConsecutiveDuplicates));
    row("capture as integer", capture, qlonglong(0),
        int(CaptureMode::suppressConsecutiveDuplicates));
    const QString monitoring = QStringLiteral("startMonitoringImmediately");
    row("monitoring false", monitoring, false, false);
    row("monitoring as string", monitoring, QStringLiteral("false"), true);
    const QString login = QStringLiteral("launchAtLogin");
    row("login as integer 1", login, qlonglong(1), false);
}

// Each setting's current value, by its key.
static const QList<std::pair<QString, QVariant (*)(const AppSettings &)>> kReaders{
    {QStringLiteral("launchAtLogin"),
     [](const AppSettings &s) -> QVariant { return s.launchAtLogin(); }},
    {QStringLiteral("startMonitoringImmediately"),
     [](const AppSettings &s) -> QVariant { return s.startMonitoringImmediately(); }},
    {QStringLiteral("showDockIcon"),
     [](const AppSettings &s) -> QVariant { return s.showDockIcon(); }},
    {QStringLiteral("retentionPeriod"),
     [](const AppSettings &s) -> QVariant { return int(s.retentionPeriod()); }},
    {QStringLiteral("captureMode"),
     [](const AppSettings &s) -> QVariant { return int(s.captureMode()); }},
    {QStringLiteral("duplicateSuppressionWindow"),
     [](const AppSettings &s) -> QVariant { return int(s.duplicateSuppressionWindow()); }},
    {QStringLiteral("previewLineCount"),
     [](const AppSettings &s) -> QVariant { return int(s.previewLineCount()); }},
    {QStringLiteral("themeMode"),
     [](const AppSettings &s) -> QVariant { return int(s.themeMode()); }},
    {QStringLiteral("fontSizeChoice"),
     [](const AppSettings &s) -> QVariant { return int(s.fontSizeChoice()); }},
    {QStringLiteral("accentColorChoice"),
     [](const AppSettings &s) -> QVariant { return int(s.accentColorChoice()); }}};

void TestAppSettings::storedValuesFallBack()
{
    QFETCH(Stored, stored);
    QFETCH(QString, property);
    QFETCH(QVariant, expected);

    MemorySettingsBackend backend(stored), empty;
    FakeLoginItem login, otherLogin;
    AppSettings settings(backend, login);
    // A bad value for one key leaves every other setting at its default.
    AppSettings defaults(empty, otherLogin);
    QVERIFY(std::any_of(kReaders.cbegin(), kReaders.cend(),
                        [&](const auto &reader) { return reader.first == property; }));
    for (const auto &[key, read] : kReaders)
        QCOMPARE(read(settings), key == property ? expected : read(defaults));
}

void TestAppSettings::constructionWritesNothingAndAssignmentAllTenKeys()
{
    // Two bad values: retention 30 falls back to 31 days, preview 2 to 3 lines.
    MemorySettingsBackend backend({{QStringLiteral("launchAtLogin"), true},
                                   {QStringLiteral("retentionPeriod"), qlonglong(30)},
                                   {QStringLiteral("previewLineCount"), qlonglong(2)}});
    FakeLoginItem login;
    AppSettings settings(backend, login);

    QVERIFY(backend.writes.isEmpty());
    QCOMPARE(backend.commits, 0);
    // The bad value is not corrected until something is saved.
    QCOMPARE(backend.values.value(QStringLiteral("retentionPeriod")), QVariant(qlonglong(30)));
    QCOMPARE(login.calls, QStringList{QStringLiteral("register")});

    MemorySettingsBackend empty;
    FakeLoginItem otherLogin;
    AppSettings defaults(empty, otherLogin);
    QCOMPARE(otherLogin.calls, QStringList{QStringLiteral("unregister")});

    // Any assignment writes every key, the bad ones corrected, and commits
    // once; kinds are kept: integers as integers, strings as strings.
    settings.setThemeMode(ThemeMode::auroraEmber);
    QCOMPARE(backend.writes.size(), 10);
    QVERIFY(backend.writes.contains(QStringLiteral("retentionPeriod=31")));
    QVERIFY(backend.writes.contains(QStringLiteral("themeMode=auroraEmber")));
    QCOMPARE(backend.commits, 1);
    QCOMPARE(backend.values.value(QStringLiteral("retentionPeriod")).typeId(),
             int(QMetaType::LongLong));
    QCOMPARE(backend.values.value(QStringLiteral("showDockIcon")).typeId(), int(QMetaType::Bool));
}

void TestAppSettings::assignmentSignalsOnlyRealChanges()
{
    MemorySettingsBackend backend;
    FakeLoginItem login;
    AppSettings settings(backend, login);
    QSignalSpy about(&settings, &AppSettings::aboutToChange);
    QSignalSpy retention(&settings, &AppSettings::retentionPeriodChanged);

    // Subscribers see the stored value when the signal arrives.
    RetentionPeriod seen{};
    connect(&settings, &AppSettings::retentionPeriodChanged, this,
            [&] { seen = settings.retentionPeriod(); });
    settings.setRetentionPeriod(RetentionPeriod::oneMonth); // unchanged
    settings.setRetentionPeriod(RetentionPeriod::oneWeek);
    QCOMPARE(about.size(), 2);
    QCOMPARE(retention.size(), 1);
    QCOMPARE(retention.at(0).at(0).value<RetentionPeriod>(), RetentionPeriod::oneWeek);
    QCOMPARE(seen, RetentionPeriod::oneWeek);

    // Assigning launchAtLogin re-applies the registration even when unchanged.
    QSignalSpy launch(&settings, &AppSettings::launchAtLoginChanged);
    login.calls.clear();
    settings.setLaunchAtLogin(false);
    settings.setLaunchAtLogin(true);
    QCOMPARE(login.calls, (QStringList{QStringLiteral("unregister"), QStringLiteral("register")}));
    QCOMPARE(launch.size(), 1);
}

void TestAppSettings::loginItemFailurePrintsAndKeepsValue()
{
    MemorySettingsBackend backend;
    FakeLoginItem login;
    AppSettings settings(backend, login);
    login.failure = QStringLiteral("autostart directory is read-only");

    QStringList printed;
    {
        StdoutCapture capture;
        settings.setLaunchAtLogin(true);
        printed = capture.lines();
    }
    QCOMPARE(printed, QStringList{QStringLiteral(
                          "Launch at login update failed: autostart directory is read-only")});
    QVERIFY(settings.launchAtLogin());
    QCOMPARE(backend.values.value(QStringLiteral("launchAtLogin")), QVariant(true));

    // The next start tries again.
    FakeLoginItem nextLogin;
    AppSettings next(backend, nextLogin);
    QCOMPARE(nextLogin.calls, QStringList{QStringLiteral("register")});
}

QTEST_GUILESS_MAIN(TestAppSettings)
#include "tst_AppSettings.moc"
