// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The cost of capture with a big history: one idle tick of the 0.8 s poll
// (nothing copied); an accepted capture as the user interface feels it
// (read, insert, prune, hand the list to the writer, with the previous
// save still in flight); and as the machine pays for it (process CPU, the
// writer thread and the kernel's copying included, until it is on disk).
#include "AppSettings.h"
#include "AtomicFile.h"
#include "ClipboardStore.h"
#include "Clock.h"
#include "HistoryCodec.h"
#include "InstructionCount.h"
#include "JsonSettingsBackend.h"
#include "LoginItem.h"
#include "Pasteboard.h"
#include "SampleHistory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "BenchMain.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>

namespace {

qint64 residentBytes()
{
    QFile status(QStringLiteral("/proc/self/statm"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = status.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * 4096 : 0;
}

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

// The real time at the start, then moved on by hand.
class SteppingClock final : public Clock {
public:
    [[nodiscard]] QDateTime now() const override { return m_now; }
    [[nodiscard]] qint64 elapsedMSecs() const override { return m_now.toMSecsSinceEpoch(); }
    void advance(qint64 msecs) { m_now = m_now.addMSecs(msecs); }

private:
    QDateTime m_now = QDateTime::currentDateTimeUtc();
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
        reopen();
    }
    void reopen()
    {
        store.reset();
        store =
            std::make_unique<ClipboardStore>(*settings, pasteboard, clock,
                                             dir.path() + QStringLiteral("/ClipboardHistory/"
                                                                         "clipboard-history.json"));
    }

    QTemporaryDir dir;
    NoLoginItem loginItem;
    std::unique_ptr<JsonSettingsBackend> backend;
    std::unique_ptr<AppSettings> settings;
    CountingPasteboard pasteboard;
    SteppingClock clock;
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

// Main-thread time of a capture made while the previous one's save is
// still being written.
void BM_CaptureOnUiThread(benchmark::State &state)
{
    LoadedStore loaded(int(state.range(0)));
    qint64 n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        loaded.store->waitForSaves();
        loaded.pasteboard.setString(QStringLiteral("copied text number %1").arg(++n));
        loaded.store->pollPasteboard();
        loaded.pasteboard.setString(QStringLiteral("copied text number %1").arg(++n));
        state.ResumeTiming();
        InstructionCount::toggle();
        loaded.store->pollPasteboard();
        InstructionCount::toggle();
    }
    loaded.store->waitForSaves();
    state.counters["items"] = double(loaded.store->items().size());
}
BENCHMARK(BM_CaptureOnUiThread)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(20);

// Everything one capture costs until its file is on disk: process CPU
// time over all threads.
void BM_CaptureToDisk(benchmark::State &state)
{
    LoadedStore loaded(int(state.range(0)));
    loaded.store->waitForSaves(); // the start-up save is not part of it
    qint64 n = 0;
    InstructionCount::dump("setup");
    for (auto _ : state) {
        loaded.pasteboard.setString(QStringLiteral("copied text number %1").arg(++n));
        loaded.store->pollPasteboard();
        loaded.store->waitForSaves();
    }
    InstructionCount::dump("CaptureToDisk");
    state.counters["items"] = double(loaded.store->items().size());
}
BENCHMARK(BM_CaptureToDisk)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->MeasureProcessCPUTime();

double processCpuSeconds()
{
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// A capture into a big history until its file is on disk, against the
// plainest way to have that file on disk: its bytes, already in memory,
// written aside, flushed and renamed over a copy (AtomicFile, as every save
// does). Taken in turns, so both see the same machine; process CPU (all
// threads, the kernel's copying included) of each, and their ratio.
void BM_CaptureVersusRewrite(benchmark::State &state)
{
    LoadedStore loaded(int(state.range(0)));
    loaded.store->waitForSaves();
    const QString historyPath = loaded.store->fileURL();
    const QString barePath = loaded.dir.path() + QStringLiteral("/ClipboardHistory/bare.json");
    qint64 n = 0;
    double capture = 0;
    double rewrite = 0;
    for (auto _ : state) {
        const double start = processCpuSeconds();
        loaded.pasteboard.setString(QStringLiteral("copied text number %1").arg(++n));
        loaded.store->pollPasteboard();
        loaded.store->waitForSaves();
        const double captured = processCpuSeconds();
        state.PauseTiming();
        QFile file(historyPath);
        QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        state.ResumeTiming();
        const double before = processCpuSeconds();
        if (!AtomicFile::write(barePath, bytes).isEmpty())
            state.SkipWithError("the bare rewrite failed");
        const double rewritten = processCpuSeconds();
        capture += captured - start;
        rewrite += rewritten - before;
    }
    const double runs = double(state.iterations());
    state.counters["captureMs"] = capture / runs * 1000;
    state.counters["rewriteMs"] = rewrite / runs * 1000;
    state.counters["ratio"] = rewrite > 0 ? capture / rewrite : 0;
    state.counters["fileMB"] = double(QFileInfo(historyPath).size()) / 1e6;
}
BENCHMARK(BM_CaptureVersusRewrite)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(8)
    ->MeasureProcessCPUTime();

// A minute with nothing copied: 75 ticks, the clock moving 0.8 s each.
void BM_IdleMinute(benchmark::State &state)
{
    LoadedStore loaded(int(state.range(0)));
    loaded.store->pollPasteboard();
    loaded.store->waitForSaves();
    InstructionCount::dump("setup");
    for (auto _ : state)
        for (int tick = 0; tick < 75; ++tick) {
            loaded.clock.advance(800);
            loaded.store->pollPasteboard();
        }
    InstructionCount::dump("IdleMinute");
}
BENCHMARK(BM_IdleMinute)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->MeasureProcessCPUTime();

// Loading a history at start, until its start-up save (or the finding that
// none is needed) is done, and the resident memory it leaves.
void BM_StoreStart(benchmark::State &state)
{
    LoadedStore loaded(int(state.range(0)));
    loaded.store.reset();
    InstructionCount::dump("setup");
    for (auto _ : state) {
        loaded.reopen();
        loaded.store->waitForSaves();
    }
    InstructionCount::dump("StoreStart");
    state.counters["rssMB"] = double(residentBytes()) / 1e6;
}
BENCHMARK(BM_StoreStart)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->MeasureProcessCPUTime();

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks<QCoreApplication>(argc, argv);
}
