// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The popover over a history of 100,000 items, offscreen: opening it (model
// refresh, layout, first paint) and typing one character into its search.
#include "AppSettings.h"
#include "AppWindowManager.h"
#include "ClipboardStore.h"
#include "Clock.h"
#include "HistoryCodec.h"
#include "LoginItem.h"
#include "MenuBarController.h"
#include "MenuBarPopoverView.h"
#include "Pasteboard.h"
#include "RecentItemsModel.h"
#include "SampleHistory.h"
#include "SettingsBackend.h"
#include "Theme.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLineEdit>
#include <QTemporaryDir>

#include "BenchSettings.h"
#include "FakeLoginItem.h"
#include "FakePasteboard.h"

#include "BenchMain.h"

#include <benchmark/benchmark.h>

namespace {

// One store of 100,000 items shared by every benchmark.
struct Fixture {
    Fixture()
    {
        const QString path = dir.path() + QStringLiteral("/clipboard-history.json");
        writeSampleHistoryFile(path, 100000, clock.now(), 300);
        settings = std::make_unique<AppSettings>(backend, login);
        store = std::make_unique<ClipboardStore>(*settings, pasteboard, clock, path);
        theme = std::make_unique<Theme>(*settings);
        windows = std::make_unique<AppWindowManager>(*store, *settings, *theme, &pasteboard);
        controller = std::make_unique<MenuBarController>(*theme, *store, pasteboard, *windows);
    }
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

    QTemporaryDir dir;
    MemorySettingsBackend backend = quietSettings();
    FakeLoginItem login;
    FakePasteboard pasteboard;
    SystemClock clock;
    std::unique_ptr<AppSettings> settings;
    std::unique_ptr<ClipboardStore> store;
    std::unique_ptr<Theme> theme;
    std::unique_ptr<AppWindowManager> windows;
    std::unique_ptr<MenuBarController> controller;
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
    state.counters["rowsShown"] = double(f.controller->popover().model().rowCount());
    f.controller->closePopover();
}
BENCHMARK(BM_TypeOneCharacter)->Unit(benchmark::kMillisecond);

// The filter alone, without painting.
void BM_FilterOnly(benchmark::State &state)
{
    Fixture &f = Fixture::instance();
    RecentItemsModel &model = f.controller->popover().model();
    bool toggle = false;
    for (auto _ : state) {
        model.setSearchText(toggle ? QStringLiteral("de") : QStringLiteral("dep"));
        toggle = !toggle;
        benchmark::DoNotOptimize(model.rowCount());
    }
}
BENCHMARK(BM_FilterOnly)->Unit(benchmark::kMicrosecond);

// Typing with a huge copied text among the hundred: 25 million characters
// of log lines, all lower-case ASCII (0) or with capitals and some
// non-ASCII (1), are searched on every keystroke, filter only. The text is
// longer than the popover keeps folded, so each search goes through it.
void BM_FilterWithHugeItem(benchmark::State &state)
{
    const QString line =
        state.range(0) == 0
            ? QStringLiteral("2026-12-05 21:04:07 build step 42 finished: ok\n")
            : QStringLiteral("2026-12-05 21:04:07 Build step 42: naïve résumé → OK\n");
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/clipboard-history.json");
    MemorySettingsBackend backend = quietSettings();
    backend.values.insert(QStringLiteral("captureMode"), QStringLiteral("recordEveryCopy"));
    FakeLoginItem login;
    FakePasteboard pasteboard;
    SystemClock clock;
    writeSampleHistoryFile(path, 99, clock.now(), 10);
    AppSettings settings(backend, login);
    ClipboardStore store(settings, pasteboard, clock, path);
    store.handleCopiedText(line.repeated(25 * 1000 * 1000 / line.size()));
    RecentItemsModel model(store);
    bool toggle = false;
    for (auto _ : state) {
        model.setSearchText(toggle ? QStringLiteral("de") : QStringLiteral("dep"));
        toggle = !toggle;
        benchmark::DoNotOptimize(model.rowCount());
    }
    state.counters["hugeUtf8Bytes"] = double(store.items().constFirst().content.utf8Size());
}
BENCHMARK(BM_FilterWithHugeItem)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return runBenchmarks<QApplication>(argc, argv, [] { Fixture::holder().reset(); });
}
