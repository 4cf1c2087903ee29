#include "AppSettings.h"
#include "FakeLoginItem.h"
#include "JsonSettingsBackend.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TestJsonSettingsBackend : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pathFollowsXdgConfigHome();
    void keepsKindsAcrossRestart();
    void keepsKeysItDoesNotKnow();
    void valueKindsFromFile_data();
    void valueKindsFromFile();
    void unreadableFileGivesDefaultsAndSurvives_data();
    void unreadableFileGivesDefaultsAndSurvives();
};

static QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

static void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void TestJsonSettingsBackend::pathFollowsXdgConfigHome()
{
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
    QCOMPARE(JsonSettingsBackend::defaultPath(),
             dir.path() + QStringLiteral("/quillmark/settings.json"));
}

void TestJsonSettingsBackend::keepsKindsAcrossRestart()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("quillmark/settings.json"));
    {
        JsonSettingsBackend backend(path);
        FakeLoginItem login;
        AppSettings settings(backend, login);
        QVERIFY(!QFile::exists(path)); // construction writes nothing
        settings.setRetentionPeriod(RetentionPeriod::twelveMonths);
        settings.setCaptureMode(CaptureMode::recordEveryCopy);
        settings.setShowDockIcon(false);
    }
    struct stat st {};
    QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0);
    QCOMPARE(int(st.st_mode & 0777), 0600);

    const QJsonObject stored = QJsonDocument::fromJson(readAll(path)).object();
    QCOMPARE(stored.size(), 10);
    QVERIFY(stored.value(QStringLiteral("showDockIcon")).isBool());
    QVERIFY(stored.value(QStringLiteral("captureMode")).isString());
    QCOMPARE(stored.value(QStringLiteral("retentionPeriod")).toVariant(), QVariant(qlonglong(366)));

    JsonSettingsBackend backend(path);
    FakeLoginItem login;
    AppSettings settings(backend, login);
    QCOMPARE(settings.retentionPeriod(), RetentionPeriod::twelveMonths);
    QCOMPARE(settings.captureMode(), CaptureMode::recordEveryCopy);
    QVERIFY(!settings.showDockIcon());
}

void TestJsonSettingsBackend::keepsKeysItDoesNotKnow()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.json"));
    writeAll(path, R"({"windowGeometry": [10, 20], "themeMode": "dark"})");
    JsonSettingsBackend backend(path);
    FakeLoginItem login;
    AppSettings settings(backend, login);
    settings.setFontSizeChoice(FontSizeChoice::large);
    const QJsonObject stored = QJsonDocument::fromJson(readAll(path)).object();
    QCOMPARE(stored.size(), 11);
    QVERIFY(stored.value(QStringLiteral("windowGeometry")).isArray());
    QCOMPARE(stored.value(QStringLiteral("themeMode")).toString(), QStringLiteral("dark"));
}

void TestJsonSettingsBackend::valueKindsFromFile_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("retentionDays");
    QTest::addColumn<bool>("monitoring");
    QTest::newRow("integers and booleans")
        << QByteArray(R"({"retentionPeriod": 7, "startMonitoringImmediately": false})") << 7
        << false;
    QTest::newRow("number as string, boolean as number")
        << QByteArray(R"({"retentionPeriod": "7", "startMonitoringImmediately": 0})") << 31 << true;
    QTest::newRow("fraction, null")
        << QByteArray(R"({"retentionPeriod": 7.5, "startMonitoringImmediately": null})") << 31
        << true;
    QTest::newRow("huge number, nested object")
        << QByteArray(R"({"retentionPeriod": 1e300, "startMonitoringImmediately": {}})") << 31
        << true;
}

void TestJsonSettingsBackend::valueKindsFromFile()
{
    QFETCH(QByteArray, json);
    QFETCH(int, retentionDays);
    QFETCH(bool, monitoring);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.json"));
    writeAll(path, json);
    JsonSettingsBackend backend(path);
    FakeLoginItem login;
    AppSettings settings(backend, login);
    QCOMPARE(rawValue(settings.retentionPeriod()), retentionDays);
    QCOMPARE(settings.startMonitoringImmediately(), monitoring);
}

void TestJsonSettingsBackend::unreadableFileGivesDefaultsAndSurvives_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("truncated") << QByteArray(R"({"themeMode": "da)");
    QTest::newRow("a list") << QByteArray(R"(["themeMode", "dark"])");
    QTest::newRow("a string") << QByteArray(R"("dark")");
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe{\x01", 5);
}

void TestJsonSettingsBackend::unreadableFileGivesDefaultsAndSurvives()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.json"));
    writeAll(path, bytes);

    JsonSettingsBackend backend(path);
    FakeLoginItem login;
    AppSettings settings(backend, login);
    QCOMPARE(settings.themeMode(), ThemeMode::system);
    QCOMPARE(settings.retentionPeriod(), RetentionPeriod::oneMonth);
    QCOMPARE(readAll(path), bytes);

    // The first real change writes a good file.
    settings.setThemeMode(ThemeMode::dark);
    const QJsonObject stored = QJsonDocument::fromJson(readAll(path)).object();
    QCOMPARE(stored.value(QStringLiteral("themeMode")).toString(), QStringLiteral("dark"));
    QCOMPARE(stored.size(), 10);
}

QTEST_GUILESS_MAIN(TestJsonSettingsBackend)
#include "tst_JsonSettingsBackend.moc"
