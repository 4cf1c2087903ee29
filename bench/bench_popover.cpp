// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The popover over a history of 100,000 items, offscreen: opening it (model
// refresh, layout, first paint) and typing one character into its search.
#include "BenchApp.h"
#include "HistoryCodec.h"
#include "MenuBarController.h"
#include "MenuBarPopoverView.h"
#include "RecentItemsModel.h"
#include "Theme.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLineEdit>
#include <QListView>

#include "BenchMain.h"

#include <benchmark/benchmark.h>

namespace {

// One store of 100,000 items shared by every benchmark.
struct Fixture : BenchApp {
    Fixture() : BenchApp(100000, QDateTime::currentDateTimeUtc(), 300) {}
    // Built on first use, ended in main() while the application still exists.
    static std::unique_ptr<Fixture> &holder()
    {
        static std::unique_ptr<Fixture> fixture;
        return fixture;
    }
    static Fixture &instance()
    {
        if (!holder())
            holder() = std::make_unique<Fixture>();
        return *holder();
    }
};

// What a press of the shortcut does up to the first frame: show, lay out,
// paint (grab() renders the window as the screen would).
void BM_OpenPopover(benchmark::State &state)
{
    Fixture &f = Fixture::instance();
    state.counters["storeItems"] = double(f.store->items().size());
    for (auto _ : state) {
        f.controller->statusItemClicked();
        QApplication::processEvents();
        benchmark::DoNotOptimize(f.controller->popover().grab());
        state.PauseTiming();
        f.controller->closePopover();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenPopover)->Unit(benchmark::kMillisecond);

// One character typed into the search: filter the hundred, repaint.
void BM_TypeOneCharacter(benchmark::State &state)
{
    Fixture &f = Fixture::instance();
    f.controller->statusItemClicked();
    QApplication::processEvents();
    auto *search = f.controller->popover().findChild<QLineEdit *>(QStringLiteral("searchField"));
    bool toggle = false;
    for (auto _ : state) {
        search->setText(toggle ? QStringLiteral("c") : QStringLiteral("cl"));
        toggle = !toggle;
        benchmark::DoNotOptimize(f.controller->popover().grab());
    }
    state.counters["rowsShown"] =
        double(f.controller->popover().findChild<QListView *>()->model()->rowCount());
    f.controller->closePopover();
}
BENCHMARK(BM_TypeOneCharacter)->Unit(benchmark::kMillisecond);

// The filter alone, without painting.
void BM_FilterOnly(benchmark::State &state)
{
    Fixture &f = Fixture::instance();
    auto &model = *qobject_cast<RecentItemsModel *>(
        f.controller->popover().findChild<QListView *>()->model());
    bool toggle = false;
    for (auto _ : state) {
        model.setSearchText(toggle ? QStringLiteral("de") : QStringLiteral("dep"));
        toggle = !toggle;
        benchmark::DoNotOptimize(model.rowCount());
    }
}
BENCHMARK(BM_FilterOnly)->Unit(benchmark::kMicrosecond);

// A hundred recent items, the newest a copied text of 25 million
// characters of log lines: all lower-case ASCII (0) or with capitals and
// some non-ASCII (1). It is longer than the popover keeps folded.
struct HugeItemModel : BenchStore {
    explicit HugeItemModel(int kind) : BenchStore(99, QDateTime::currentDateTimeUtc(), 10, true)
    {
        const QString line =
            kind == 0 ? QStringLiteral("2026-12-05 21:04:07 build step 42 finished: ok\n")
                      : QStringLiteral("2026-12-05 21:04:07 Build step 42: naïve résumé → OK\n");
        store->handleCopiedText(line.repeated(25 * 1000 * 1000 / line.size()));
        store->waitForSaves();
        model = std::make_unique<RecentItemsModel>(*store);
    }

    std::unique_ptr<RecentItemsModel> model;
};

// The worst keystroke with that text: a query met for the first time that
// contains no earlier one, so every text is searched (the huge one holds
// no match, so all of it). Filter only.
void BM_FilterWithHugeItem(benchmark::State &state)
{
    HugeItemModel f(int(state.range(0)));
    int n = 0;
    for (auto _ : state) {
        f.model->setSearchText(QStringLiteral("%1#").arg(++n, 7, 10, QLatin1Char('0')));
        benchmark::DoNotOptimize(f.model->rowCount());
    }
}
BENCHMARK(BM_FilterWithHugeItem)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

// Typing a word into the empty search field with that text among the
// hundred, one character at a time: the time for all six keystrokes. A
// capture between words makes each word new to the popover.
void BM_TypeWordWithHugeItem(benchmark::State &state)
{
    HugeItemModel f(int(state.range(0)));
    const QString word = QStringLiteral("deploy");
    int n = 0;
    for (auto _ : state) {
        for (qsizetype length = 1; length <= word.size(); ++length)
            f.model->setSearchText(word.left(length));
        benchmark::DoNotOptimize(f.model->rowCount());
        state.PauseTiming();
        f.model->setSearchText(QString());
        f.store->handleCopiedText(QStringLiteral("copied between words %1").arg(++n));
        f.store->waitForSaves(); // the save thread's work is not the popover's
        state.ResumeTiming();
    }
}
// Few iterations: the huge text must stay among the hundred.
BENCHMARK(BM_TypeWordWithHugeItem)->DenseRange(0, 1)->Iterations(8)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return runBenchmarks<QApplication>(argc, argv, [] { Fixture::holder().reset(); });
}
