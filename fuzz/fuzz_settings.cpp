// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

// libFuzzer target for the settings file reader. Each input becomes the
// settings file; the target then
//  - loads it through AppSettings (which must write nothing),
//  - saves all ten settings and reads the file back: the ten values and every
//    key Quillmark does not know come back unchanged.
#include "AppSettings.h"
#include "JsonSettingsBackend.h"
#include "LoginItem.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

class QuietLoginItem final : public LoginItem {
public:
    [[nodiscard]] QString registerItem() override { return {}; }
    [[nodiscard]] QString unregisterItem() override { return {}; }
    [[nodiscard]] bool isRegistered() const override { return false; }
};

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

// One file per process, on a memory file system when there is one; its
// folder goes at exit (the path is never freed, so it outlives the handler).
const QString &settingsPath()
{
    static const QString &path = *new QString([] {
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                       : QDir::tempPath();
        const QString dir = base + QStringLiteral("/quillmark-fuzz-settings-%1").arg(::getpid());
        QDir().mkpath(dir);
        std::atexit([] { QDir(QFileInfo(settingsPath()).absolutePath()).removeRecursively(); });
        return dir + QStringLiteral("/settings.json");
    }());
    return path;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Snapshot {
    bool launchAtLogin, startMonitoringImmediately, showDockIcon;
    RetentionPeriod retentionPeriod;
    CaptureMode captureMode;
    DuplicateSuppressionWindow duplicateSuppressionWindow;
    PreviewLineCount previewLineCount;
    ThemeMode themeMode;
    FontSizeChoice fontSizeChoice;
    AccentColorChoice accentColorChoice;

    explicit Snapshot(const AppSettings &s)
        : launchAtLogin(s.launchAtLogin()),
          startMonitoringImmediately(s.startMonitoringImmediately()),
          showDockIcon(s.showDockIcon()), retentionPeriod(s.retentionPeriod()),
          captureMode(s.captureMode()), duplicateSuppressionWindow(s.duplicateSuppressionWindow()),
          previewLineCount(s.previewLineCount()), themeMode(s.themeMode()),
          fontSizeChoice(s.fontSizeChoice()), accentColorChoice(s.accentColorChoice())
    {
    }
    bool operator==(const Snapshot &) const = default;
};

const QStringList kKnownKeys = {
    QStringLiteral("launchAtLogin"),    QStringLiteral("startMonitoringImmediately"),
    QStringLiteral("showDockIcon"),     QStringLiteral("retentionPeriod"),
    QStringLiteral("captureMode"),      QStringLiteral("duplicateSuppressionWindow"),
    QStringLiteral("previewLineCount"), QStringLiteral("themeMode"),
    QStringLiteral("fontSizeChoice"),   QStringLiteral("accentColorChoice"),
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The reader warns about every file it ignores; keep the run readable.
    QLoggingCategory::setFilterRules(QStringLiteral("*.warning=false"));
    // And prints a line for each one it moves aside.
    check(std::freopen("/dev/null", "w", stdout) != nullptr, "cannot silence standard output");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString &path = settingsPath();
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write the input");
        check(file.write(input) == input.size(), "short write of the input");
    }

    QuietLoginItem login;
    JsonSettingsBackend backend(path);
    AppSettings settings(backend, login);
    const Snapshot loaded(settings);
    if (backend.wasUnreadable()) {
        // Moved aside whole, never rewritten in place; the settings in
        // effect take its place.
        const QDir dir = QFileInfo(path).absoluteDir();
        const QStringList aside =
            dir.entryList({QStringLiteral("settings.json.corrupt-*")}, QDir::Files);
        check(QJsonDocument::fromJson(readFile(path)).isObject(),
              "an unreadable file was not replaced by the settings in effect");
        check(aside.size() == 1 && readFile(dir.filePath(aside.first())) == input,
              "an unreadable file was not kept aside unchanged");
        check(!QJsonDocument::fromJson(input).isObject(), "a JSON object was called unreadable");
        QFile::remove(dir.filePath(aside.first()));
    } else {
        check(readFile(path) == input, "loading the settings changed the file");
    }

    // Whatever was readable: unknown keys keep their values across a save.
    const QJsonDocument original = QJsonDocument::fromJson(input);
    settings.save();

    JsonSettingsBackend reread(path);
    AppSettings again(reread, login);
    check(Snapshot(again) == loaded, "saved settings read back differently");
    if (original.isObject()) {
        const QJsonObject object = original.object();
        for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
            if (kKnownKeys.contains(it.key()))
                continue;
            const std::optional<QVariant> kept = reread.object(it.key());
            check(kept.has_value(), "an unknown key was dropped");
            check(QJsonValue::fromVariant(*kept) == it.value(), "an unknown key changed its value");
        }
    }
    return 0;
}
