// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The store's costs with a big history: start-up, save, the idle tick that
// runs every 0.8 s, one accepted capture, and the history window's day
// queries.

#include "AppSettings.h"
#include "ClipboardStore.h"
#include "Clock.h"
#include "HistoryCodec.h"
#include "LocalDays.h"
#include "LoginItem.h"
#include "Pasteboard.h"
#include "SampleHistory.h"
#include "SettingsBackend.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include "BenchSettings.h"
#include "FakeLoginItem.h"

#include "BenchMain.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

const QDateTime kNow(QDate(2026, 12, 5), QTime(21, 4, 7), Qt::UTC);

class BenchClock final : public Clock {
public:
    [[nodiscard]] QDateTime now() const override { return m_now; }
    [[nodiscard]] qint64 elapsedMSecs() const override { return m_now.toMSecsSinceEpoch(); }
    QDateTime m_now = kNow;
};

class BenchPasteboard final : public Pasteboard {
public:
    [[nodiscard]] qint64 changeCount() const override { return m_count; }
    [[nodiscard]] std::optional<QString> stringForType() override { return m_text; }
    void clearContents() override { ++m_count; }
    void setString(const QString &text) override
    {
        m_text = text;
        ++m_count;
    }

private:
    qint64 m_count = 1;
    QString m_text;
};

// One history of `count` items on disk and the objects a store needs.
struct Fixture {
    explicit Fixture(int count)
    {
        path = dir.filePath(QStringLiteral("ClipboardHistory/clipboard-history.json"));
        QDir().mkpath(dir.filePath(QStringLiteral("ClipboardHistory")));
        writeSampleHistoryFile(path, count, kNow.addSecs(-60));
    }
    std::unique_ptr<ClipboardStore> open()
    {
        return std::make_unique<ClipboardStore>(settings, pasteboard, clock, path);
    }

    QTemporaryDir dir;
    QString path;
    MemorySettingsBackend backend = quietSettings();
    FakeLoginItem login;
    AppSettings settings{backend, login};
    BenchPasteboard pasteboard;
    BenchClock clock;
};

// Read, decode, sort, day cache, prune, and the one save of start-up.
void BM_Construct(benchmark::State &state)
{
    Fixture f(int(state.range(0)));
    for (auto _ : state) {
        auto store = f.open();
        benchmark::DoNotOptimize(store->items().size());
    }
}

void BM_Save(benchmark::State &state)
{
    Fixture f(int(state.range(0)));
    auto store = f.open();
    for (auto _ : state)
        store->save();
}

void BM_LocalDays(benchmark::State &state)
{
    const QList<ClipboardItem> items = makeSampleHistory(int(state.range(0)), kNow);
    for (auto _ : state)
        benchmark::DoNotOptimize(LocalDays::of(items).size());
}

// What every 0.8 s costs while nothing is copied: a prune that removes
// nothing and one change-count read.
void BM_IdleTick(benchmark::State &state)
{
    Fixture f(int(state.range(0)));
    auto store = f.open();
    for (auto _ : state)
        store->pollPasteboard();
}

// The history window: every day, then every day's items.
void BM_DayQueries(benchmark::State &state)
{
    Fixture f(int(state.range(0)));
    auto store = f.open();
    for (auto _ : state) {
        const QList<QDate> days = store->availableDays();
        qsizetype total = 0;
        for (const QDate &day : days)
            total += store->itemsForDay(day).size();
        benchmark::DoNotOptimize(total);
    }
    state.counters["days"] = double(store->availableDays().size());
}

// A copy in another application: insert at the front, prune, encode, write.
void BM_AcceptedCapture(benchmark::State &state)
{
    Fixture f(int(state.range(0)));
    auto store = f.open();
    int n = 0;
    for (auto _ : state) {
        f.pasteboard.setString(QStringLiteral("copied text number %1").arg(++n));
        store->pollPasteboard();
    }
}

} // namespace

BENCHMARK(BM_Construct)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LocalDays)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdleTick)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DayQueries)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AcceptedCapture)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    // Retention and day queries work in local time; measure in a zone with
    // daylight-saving changes unless one was chosen.
    if (!qEnvironmentVariableIsSet("TZ"))
        qputenv("TZ", "Europe/Berlin");
    return runBenchmarks<QCoreApplication>(argc, argv);
}
