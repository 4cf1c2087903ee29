// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AppSettings.h"
#include "FakeLoginItem.h"
#include "MemorySettingsBackend.h"
#include "StdoutCapture.h"

#include <QSignalSpy>
#include <QTest>

using Stored = QHash<QString, QVariant>;

class TestAppSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // What one stored value turns into, as the next save writes it back; every
    // other setting must keep its default.
    void storedValuesFallBack_data()
    {
        QTest::addColumn<Stored>("stored");
        QTest::addColumn<QString>("written"); // "key=value"

        auto row = [](const char *name, const QString &key, const QVariant &value,
                      const char *written) {
            QTest::newRow(name) << Stored{{key, value}} << key + QLatin1Char('=') + written;
        };
        // Per kind of setting: a good value, and values of the wrong type,
        // spelling or range, which fall back to the default.
        const QString retention = QStringLiteral("retentionPeriod");
        row("retention 7", retention, qlonglong(7), "7");
        row("retention 365", retention, qlonglong(365), "31");
        row("retention as string", retention, QStringLiteral("7"), "31");
        const QString window = QStringLiteral("duplicateSuppressionWindow");
        row("window -5", window, qlonglong(-5), "5");
        const QString capture = QStringLiteral("captureMode");
        row("capture exact", capture, QStringLiteral("recordEveryCopy"), "recordEveryCopy");
        row("capture case variant", capture, QStringLiteral("RecordEveryCopy"),
            "suppressConsecutiveDuplicates");
        const QString monitoring = QStringLiteral("startMonitoringImmediately");
        row("monitoring as string", monitoring, QStringLiteral("false"), "true");
        row("login as integer 1", QStringLiteral("launchAtLogin"), qlonglong(1), "false");
    }

    void storedValuesFallBack()
    {
        QFETCH(Stored, stored);
        QFETCH(QString, written);

        MemorySettingsBackend backend(stored), empty;
        FakeLoginItem login, otherLogin;
        AppSettings settings(backend, login), defaults(empty, otherLogin);
        // Any assignment writes every key.
        settings.setShowDockIcon(settings.showDockIcon());
        defaults.setShowDockIcon(defaults.showDockIcon());
        QStringList expected = empty.writes;
        const QString key = written.section(QLatin1Char('='), 0, 0);
        int replaced = 0;
        for (QString &line : expected) {
            if (line.section(QLatin1Char('='), 0, 0) == key) {
                line = written;
                ++replaced;
            }
        }
        QCOMPARE(replaced, 1);
        QCOMPARE(backend.writes, expected);
    }

    void constructionWritesNothingAndAssignmentAllTenKeys()
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

        // Any assignment writes every key (storedValuesFallBack checks which),
        // and commits once.
        settings.setThemeMode(ThemeMode::auroraEmber);
        QCOMPARE(backend.commits, 1);
    }

    void assignmentSignalsOnlyRealChanges()
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
        QCOMPARE(login.calls,
                 (QStringList{QStringLiteral("unregister"), QStringLiteral("register")}));
        QCOMPARE(launch.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestAppSettings)
#include "tst_AppSettings.moc"
