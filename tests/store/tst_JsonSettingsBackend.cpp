// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AppSettings.h"
#include "FakeLoginItem.h"
#include "JsonSettingsBackend.h"
#include "StdoutCapture.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Settings over the file at `path`, as a start reads them.
struct Opened {
    explicit Opened(const QString &path) : backend(path) {}
    JsonSettingsBackend backend;
    FakeLoginItem login;
    AppSettings settings{backend, login};
};

} // namespace

class TestJsonSettingsBackend : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keepsKindsAndUnknownKeysAcrossRestart();
    void unreadableFileGivesDefaultsAndSurvives_data();
    void unreadableFileGivesDefaultsAndSurvives();
};

void TestJsonSettingsBackend::keepsKindsAndUnknownKeysAcrossRestart()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("quillmark/settings.json"));
    {
        Opened first(path);
        first.settings.setRetentionPeriod(RetentionPeriod::twelveMonths);
        first.settings.setCaptureMode(CaptureMode::recordEveryCopy);
        first.settings.setShowDockIcon(false);
    }
    QCOMPARE(fileMode(path), 0600);
    // A value written as another kind would read back as the default.
    const Opened next(path);
    QCOMPARE(next.settings.retentionPeriod(), RetentionPeriod::twelveMonths);
    QCOMPARE(next.settings.captureMode(), CaptureMode::recordEveryCopy);
    QVERIFY(!next.settings.showDockIcon());

    // A key it does not know (another version's) is kept when it writes.
    QVERIFY(
        writeFileContents(path, fileContents(path).replace("{", "{\"windowGeometry\": [10, 20],")));
    Opened(path).settings.setFontSizeChoice(FontSizeChoice::large);
    const QJsonObject rewritten = QJsonDocument::fromJson(fileContents(path)).object();
    QCOMPARE(rewritten.size(), 11);
    QVERIFY(rewritten.value(QStringLiteral("windowGeometry")).isArray());
}

void TestJsonSettingsBackend::unreadableFileGivesDefaultsAndSurvives_data()
{
    // What sits at the settings path: file bytes, or a special file of the
    // kind given.
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("special");
    QTest::newRow("truncated") << QByteArray(R"({"themeMode": "da)") << QString();
    QTest::newRow("a list") << QByteArray(R"(["themeMode", "dark"])") << QString();
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe{\x01", 5) << QString();
    QTest::newRow("a pipe") << QByteArray() << "fifo";
}

void TestJsonSettingsBackend::unreadableFileGivesDefaultsAndSurvives()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, special);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.json"));
    QVERIFY(special.isEmpty() ? writeFileContents(path, bytes) : makeSpecialFile(path, special));

    // Launch at login was on; the file that said so is lost.
    FakeLoginItem login;
    login.registered = true;
    StdoutCapture output;
    JsonSettingsBackend backend(path);
    AppSettings settings(backend, login);
    QVERIFY(backend.wasUnreadable());
    QCOMPARE(settings.themeMode(), ThemeMode::system);
    QCOMPARE(settings.retentionPeriod(), RetentionPeriod::oneMonth);

    // The registration is neither renewed nor removed, and the switch shows it.
    QCOMPARE(login.calls, QStringList());
    QVERIFY(settings.launchAtLogin());

    // Kept aside under its stamp, said in one line.
    const QStringList aside = QDir(dir.path())
                                  .entryList({QStringLiteral("settings.json.corrupt-*")},
                                             QDir::AllEntries | QDir::System | QDir::Hidden);
    QCOMPARE(aside.size(), 1);
    if (special.isEmpty())
        QCOMPARE(fileContents(dir.filePath(aside.first())), bytes);
    QCOMPARE(output.lines(),
             QStringList{QStringLiteral("Settings could not be read; moved them aside to: ") +
                         dir.filePath(aside.first())});

    // A good file takes its place at once, so the next start keeps the
    // entry too.
    QCOMPARE(
        QJsonDocument::fromJson(fileContents(path)).object().value(QStringLiteral("launchAtLogin")),
        QJsonValue(true));
}

QTEST_GUILESS_MAIN(TestJsonSettingsBackend)
#include "tst_JsonSettingsBackend.moc"
