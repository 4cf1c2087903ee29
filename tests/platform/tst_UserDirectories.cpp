// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ClipboardStore.h"
#include "JsonSettingsBackend.h"
#include "UserDirectories.h"

#include <QTest>

#include <optional>

using MaybeBytes = std::optional<QByteArray>;

// The history and the settings land in the user's home whatever the
// environment holds, or Quillmark refuses to start.
class TestUserDirectories : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void historyAndSettingsGoHome_data()
    {
        QTest::addColumn<MaybeBytes>("home");
        QTest::addColumn<MaybeBytes>("dataHome");
        QTest::addColumn<MaybeBytes>("configHome");
        QTest::addColumn<MaybeBytes>("passwordHome");
        QTest::addColumn<QString>("history"); // empty: refused
        QTest::addColumn<QString>("settings");

        const MaybeBytes unset;
        const QString history =
            QStringLiteral("/quillmark/ClipboardHistory/clipboard-history.json");
        const QString settings = QStringLiteral("/quillmark/settings.json");
        QTest::newRow("all set") << MaybeBytes("/home/ann") << MaybeBytes("/data")
                                 << MaybeBytes("/conf") << MaybeBytes("/home/pw")
                                 << "/data" + history << "/conf" + settings;
        QTest::newRow("none set: the password database's home")
            << unset << unset << unset << MaybeBytes("/home/pw")
            << "/home/pw/.local/share" + history << "/home/pw/.config" + settings;
        QTest::newRow("relative HOME")
            << MaybeBytes("home") << unset << unset << MaybeBytes("/home/pw")
            << "/home/pw/.local/share" + history << "/home/pw/.config" + settings;
        // Relative XDG variables, which are ignored, are test_safety's.
        QTest::newRow("no home anywhere") << unset << MaybeBytes("/data") << MaybeBytes("/conf")
                                          << unset << QString() << QString();
    }

    void historyAndSettingsGoHome()
    {
        QFETCH(MaybeBytes, home);
        QFETCH(MaybeBytes, dataHome);
        QFETCH(MaybeBytes, configHome);
        QFETCH(MaybeBytes, passwordHome);
        QFETCH(QString, history);
        QFETCH(QString, settings);
        const auto put = [](const char *name, const MaybeBytes &value) {
            value ? qputenv(name, *value) : qunsetenv(name);
        };
        put("HOME", home);
        put("XDG_DATA_HOME", dataHome);
        put("XDG_CONFIG_HOME", configHome);

        const QString why = UserDirectories::settle(passwordHome);
        if (history.isEmpty()) {
            QVERIFY(why.startsWith(QStringLiteral("Quillmark cannot find your home directory")));
            return;
        }
        QCOMPARE(why, QString());
        QCOMPARE(ClipboardStore::defaultHistoryFilePath(), history);
        QCOMPARE(JsonSettingsBackend::defaultPath(), settings);
    }
};

QTEST_GUILESS_MAIN(TestUserDirectories)
#include "tst_UserDirectories.moc"
