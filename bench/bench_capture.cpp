// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The cost of capture with a big history: one idle tick of the 0.8 s poll
// (nothing copied) and one accepted capture (read, insert, prune, encode,
// atomic write), each with 100,000 items loaded.
#include "AppSettings.h"
#include "ClipboardStore.h"
#include "Clock.h"
#include "HistoryCodec.h"
#include "JsonSettingsBackend.h"
#include "LoginItem.h"
#include "Pasteboard.h"
#include "SampleHistory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "BenchMain.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

class CountingPasteboard final : public Pasteboard {
public:
    [[nodiscard]] qint64 changeCount() const override { return m_changeCount; }
    [[nodiscard]] std::optional<QString> stringForType() override
    {
        ++reads;
        return m_text;
    }
    void clearContents() override { ++m_changeCount; }
    void setString(const QString &text) override
    {
        m_text = text;
        ++m_changeCount;
    }
    qint64 reads = 0;

private:
    qint64 m_changeCount = 1;
    std::optional<QString> m_text;
};

class NoLoginItem final : public LoginItem {
public:
    [[nodiscard]] QString registerItem() override { return {}; }
    [[nodiscard]] QString unregisterItem() override { return {}; }
    [[nodiscard]] bool isRegistered() const override { return false; }
};

// A store over a history file of `count` items, kept a year so that
// nothing expires while the benchmark runs.
struct LoadedStore {
    explicit LoadedStore(int count)
    {
        const QString settingsPath = dir.path() + QStringLiteral("/settings.json");
        QFile settingsFile(settingsPath);
        (void)settingsFile.open(QIODevice::WriteOnly);
        settingsFile.write(R"({"retentionPeriod": 366, "startMonitoringImmediately": false})");
        settingsFile.close();
        backend = std::make_unique<JsonSettingsBackend>(settingsPath);
        settings = std::make_unique<AppSettings>(*backend, loginItem);

        const QString historyPath =
            dir.path() + QStringLiteral("/ClipboardHistory/clipboard-history.json");
        QDir().mkpath(dir.path() + QStringLiteral("/ClipboardHistory"));
        QFile history(historyPath);
        (void)history.open(QIODevice::WriteOnly);
        history.write(HistoryCodec::encode(makeSampleHistory(count, clock.now(), 360)));
        history.close();
        store = std::make_unique<ClipboardStore>(*settings, pasteboard, clock, historyPath);
    }

    QTemporaryDir dir;
    NoLoginItem loginItem;
    std::unique_ptr<JsonSettingsBackend> backend;
    std::unique_ptr<AppSettings> settings;
    CountingPasteboard pasteboard;
    SystemClock clock;
    std::unique_ptr<ClipboardStore> store;
};

void BM_IdleTick(benchmark::State &state)
{
    LoadedStore loaded(int(state.range(0)));
    // A big text on the clipboard must not matter: an idle tick never reads it.
    loaded.pasteboard.setString(QString(5 * 1024 * 1024, u'x'));
    loaded.store->pollPasteboard();
    const qint64 readsBefore = loaded.pasteboard.reads;
    for (auto _ : state)
        loaded.store->pollPasteboard();
    if (loaded.pasteboard.reads != readsBefore)
        state.SkipWithError("an idle tick read the clipboard");
    state.counters["items"] = double(loaded.store->items().size());
}
BENCHMARK(BM_IdleTick)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_AcceptedCapture(benchmark::State &state)
{
    LoadedStore loaded(int(state.range(0)));
    qint64 n = 0;
    for (auto _ : state) {
        loaded.pasteboard.setString(QStringLiteral("copied text number %1").arg(++n));
        loaded.store->pollPasteboard();
    }
    state.counters["items"] = double(loaded.store->items().size());
}
BENCHMARK(BM_AcceptedCapture)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(30);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks<QCoreApplication>(argc, argv);
}
