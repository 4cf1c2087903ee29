// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The history browser over 100,000 items spread over a year, offscreen:
// typing into the search (filter and repaint of both columns), switching
// days, scrolling, a capture while the window is open, and the row of a
// 20 MB item.
#include "BenchStore.h"
#include "ClipboardDetailSheet.h"
#include "ClipboardHistoryRow.h"
#include "ContentView.h"
#include "DayItemsModel.h"
#include "HistoryCodec.h"
#include "HistoryIndex.h"
#include "ItemTextView.h"
#include "PreviewText.h"
#include "Theme.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QScrollBar>

#include "BenchMain.h"
#include "InstructionCount.h"

#include <benchmark/benchmark.h>

#include <ctime>

namespace {

// CPU time of this thread: the machine is shared, wall time is not ours.
double threadCpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// One store of 100,000 items over 365 days and one browser on it, shared
// by every benchmark.
struct Fixture : BenchStore {
    Fixture() : BenchStore(100000, QDateTime::currentDateTimeUtc(), 365, true)
    {
        double start = threadCpuMilliseconds();
        {
            HistoryIndex index(*store);
        }
        indexCpuMilliseconds = threadCpuMilliseconds() - start;
        QElapsedTimer timer;
        timer.start();
        start = threadCpuMilliseconds();
        InstructionCount::toggle();
        theme = std::make_unique<Theme>(*settings);
        view = std::make_unique<ContentView>(*store, *settings, *theme, &pasteboard);
        InstructionCount::toggle();
        search = view->findChild<QLineEdit *>(QStringLiteral("searchField"));
        days = view->findChild<QListView *>(QStringLiteral("dayList"));
        items = view->findChild<QListView *>(QStringLiteral("itemList"));
        buildMilliseconds = double(timer.nsecsElapsed()) / 1e6;
        buildCpuMilliseconds = threadCpuMilliseconds() - start;
        // Typing at once, before the event loop has run: the worst case
        // for the first search.
        start = threadCpuMilliseconds();
        search->setText(QStringLiteral("d"));
        firstSearchCpuMilliseconds = threadCpuMilliseconds() - start;
        search->setText(QString());
        view->resize(1200, 820);
        view->show();
        QApplication::processEvents();
    }
    // As if the user picked the sidebar's `row`th day.
    void selectDay(int row) const { days->setCurrentIndex(days->model()->index(row, 0)); }
    static Fixture &instance()
    {
        static Fixture fixture;
        return fixture;
    }

    std::unique_ptr<Theme> theme;
    std::unique_ptr<ContentView> view;
    QLineEdit *search = nullptr;
    QListView *days = nullptr;
    QListView *items = nullptr;
    double buildMilliseconds = 0;
    double buildCpuMilliseconds = 0;
    double indexCpuMilliseconds = 0;
    double firstSearchCpuMilliseconds = 0;
};

// One character typed: filter days and items, then repaint the window
// (grab() renders it as the screen would). Arg 0 picks the query pair.
void BM_TypeOneCharacter(benchmark::State &state)
{
    static const QStringList pairs[] = {
        {QString(), QStringLiteral("d")},                                // first character
        {QStringLiteral("deplo"), QStringLiteral("deploy")},             // a common word
        {QStringLiteral("zq"), QStringLiteral("zqx")},                   // matches nothing
        {QStringLiteral("issues/9999"), QStringLiteral("issues/99999")}, // rare
        {QStringLiteral("issues/99999"), QStringLiteral("issues/9999")}, // backspace: rare
        {QStringLiteral("build tok"), QStringLiteral("build toke")},     // phrase
    };
    const QStringList &pair = pairs[state.range(0)];
    Fixture &f = Fixture::instance();
    state.counters["storeItems"] = double(f.store->items().size());
    for (auto _ : state) {
        state.PauseTiming();
        f.search->setText(pair[0]);
        QApplication::processEvents();
        state.ResumeTiming();
        f.search->setText(pair[1]);
        benchmark::DoNotOptimize(f.view->grab());
    }
    state.counters["daysShown"] = double(f.days->model()->rowCount());
    state.counters["rowsShown"] = double(f.items->model()->rowCount());
    f.search->setText(QString());
}
BENCHMARK(BM_TypeOneCharacter)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

// Painting the whole window with nothing changed, for reference: part of
// every figure above that includes a repaint.
void BM_GrabOnly(benchmark::State &state)
{
    Fixture &f = Fixture::instance();
    for (auto _ : state)
        benchmark::DoNotOptimize(f.view->grab());
}
BENCHMARK(BM_GrabOnly)->Unit(benchmark::kMillisecond);

// Keystrokes without painting: the search alone (a query matching nothing
// and a first character).
void BM_SearchOnly(benchmark::State &state)
{
    Fixture &f = Fixture::instance();
    const QString from = state.range(0) == 0 ? QStringLiteral("zq") : QString();
    const QString to = state.range(0) == 0 ? QStringLiteral("zqx") : QStringLiteral("d");
    for (auto _ : state) {
        state.PauseTiming();
        f.search->setText(from);
        state.ResumeTiming();
        f.search->setText(to);
    }
    f.search->setText(QString());
}
BENCHMARK(BM_SearchOnly)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

// The worst keystroke: a query met for the first time that is no longer
// than any recent one, so every item is searched (common byte pairs, few
// matches). Search only, no repaint.
void BM_ColdFullScan(benchmark::State &state)
{
    Fixture &f = Fixture::instance();
    int n = 0;
    for (auto _ : state)
        f.search->setText(QStringLiteral("issues/%1?").arg(++n * 7919 % 100000));
    state.counters["daysShown"] = double(f.days->model()->rowCount());
    f.search->setText(QString());
}
BENCHMARK(BM_ColdFullScan)->Unit(benchmark::kMillisecond);

// Picking another day in the sidebar, then the repaint.
void BM_SwitchDay(benchmark::State &state)
{
    Fixture &f = Fixture::instance();
    int i = 0;
    for (auto _ : state) {
        f.selectDay(++i % 2 == 0 ? 10 : 200);
        benchmark::DoNotOptimize(f.view->grab());
    }
    state.counters["rowsInDay"] = double(f.items->model()->rowCount());
}
BENCHMARK(BM_SwitchDay)->Unit(benchmark::kMillisecond);

// Scrolling the item list by a page and painting what became visible.
void BM_ScrollPage(benchmark::State &state)
{
    Fixture &f = Fixture::instance();
    f.selectDay(10);
    QApplication::processEvents();
    QScrollBar *bar = f.items->verticalScrollBar();
    for (auto _ : state) {
        const int next = bar->value() + bar->pageStep();
        bar->setValue(next > bar->maximum() ? 0 : next);
        benchmark::DoNotOptimize(f.items->viewport()->grab());
    }
}
BENCHMARK(BM_ScrollPage)->Unit(benchmark::kMillisecond);

// A capture while the window is open: the view's share of the work (index,
// day list, item list; measured from the store's insert signal to the end
// of its handlers) plus the repaint. The store's own work (saving the
// file) is not counted.
void BM_CaptureUiWork(benchmark::State &state)
{
    Fixture &f = Fixture::instance();
    f.selectDay(0);
    QApplication::processEvents();
    QElapsedTimer timer;
    qint64 handlers = 0;
    // Store signals reach the index (and through it the view) first; this
    // connection is the last one, so it fires after they are done.
    auto connection = QObject::connect(f.store.get(), &ClipboardStore::itemsInserted,
                                       [&] { handlers = timer.nsecsElapsed(); });
    auto start = QObject::connect(f.store.get(), &ClipboardStore::itemsAboutToBeInserted,
                                  [&] { timer.start(); });
    int n = 0;
    double handlerTotal = 0;
    for (auto _ : state) {
        f.store->handleCopiedText(QStringLiteral("captured while open %1").arg(++n));
        QElapsedTimer paint;
        paint.start();
        QApplication::processEvents();
        benchmark::DoNotOptimize(f.view->grab());
        state.SetIterationTime(double(handlers + paint.nsecsElapsed()) / 1e9);
        handlerTotal += double(handlers) / 1e6;
    }
    state.counters["handlersMs"] = handlerTotal / double(state.iterations());
    QObject::disconnect(connection);
    QObject::disconnect(start);
}
BENCHMARK(BM_CaptureUiWork)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

// The row of a 20 MB item: lay out its preview and paint it.
void BM_PaintHugeRow(benchmark::State &state)
{
    const QString huge =
        QString(20 * 1024 * 1024 / 64, QLatin1Char('x'))
            .repeated(1)
            .append(QString(20 * 1024 * 1024 - 20 * 1024 * 1024 / 64, QLatin1Char('y')));
    QFont font(QStringLiteral("monospace"));
    font.setPixelSize(14);
    QImage canvas(900, 400, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        const PreviewText preview(huge, QStringLiteral("xy"), font, 800, 10);
        QPainter painter(&canvas);
        preview.draw(&painter, QPointF(10, 10));
    }
}
BENCHMARK(BM_PaintHugeRow)->Unit(benchmark::kMillisecond);

// A day holding a 20 MB item shown in the item list: the rows' heights
// and paint, as the list asks for them after a day switch.
void BM_ShowDayWithHugeItem(benchmark::State &state)
{
    const QString line = QStringLiteral("2026-12-05 21:04:07 Build step 42: naïve résumé → OK\n");
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<ClipboardItem> items{
        {QUuid::createUuid(), QStringLiteral("short one"), now},
        {QUuid::createUuid(), line.repeated(20 * 1000 * 1000 / line.size()), now.addSecs(-60)},
        {QUuid::createUuid(), QStringLiteral("another\nshort one"), now.addSecs(-120)}};
    DayItemsModel model;
    QListView list;
    list.setModel(&model);
    auto *row = new ClipboardHistoryRow(&list, *Fixture::instance().theme); // owned by the list
    list.setItemDelegate(row);
    row->setQuery(QStringLiteral("ok"));
    list.resize(900, 700);
    for (auto _ : state) {
        model.setItems(items);
        benchmark::DoNotOptimize(list.grab());
    }
}
BENCHMARK(BM_ShowDayWithHugeItem)->Unit(benchmark::kMillisecond);

// The sheet of a 50 MB item: open it with a search (one-letter marks all
// over) and paint it, as lines of text (0) or as one long line (1).
void BM_OpenHugeItemSheet(benchmark::State &state)
{
    const QString unit = QStringLiteral("the quick brown fox jumps over the lazy dog ") +
                         (state.range(0) == 0 ? QStringLiteral("\n") : QStringLiteral(" "));
    const ClipboardItem item{QUuid::createUuid(), unit.repeated(25 * 1024 * 1024 / unit.size()),
                             QDateTime::currentDateTimeUtc()};
    ClipboardDetailSheet sheet(*Fixture::instance().theme, nullptr);
    sheet.resize(760, 560);
    for (auto _ : state) {
        sheet.setItem(item, QStringLiteral("o"));
        benchmark::DoNotOptimize(sheet.grab());
    }
}
BENCHMARK(BM_OpenHugeItemSheet)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

// Dragging the scroll bar of that sheet to a far place and painting there.
void BM_JumpInHugeItemSheet(benchmark::State &state)
{
    const QString unit = QStringLiteral("the quick brown fox jumps over the lazy dog\n");
    const ClipboardItem item{QUuid::createUuid(), unit.repeated(25 * 1024 * 1024 / unit.size()),
                             QDateTime::currentDateTimeUtc()};
    ClipboardDetailSheet sheet(*Fixture::instance().theme, nullptr);
    sheet.resize(760, 560);
    sheet.setItem(item, QStringLiteral("o"));
    QScrollBar *bar = sheet.findChild<ItemTextView *>()->verticalScrollBar();
    const double start = threadCpuMilliseconds();
    bar->setValue(bar->maximum()); // the first jump runs the search through the text
    benchmark::DoNotOptimize(sheet.grab());
    state.counters["firstJumpToEndCpuMs"] = threadCpuMilliseconds() - start;
    int step = 0;
    for (auto _ : state) {
        bar->setValue(bar->maximum() / 7 * (++step % 7));
        benchmark::DoNotOptimize(sheet.grab());
    }
}
BENCHMARK(BM_JumpInHugeItemSheet)->Unit(benchmark::kMillisecond);

// Building the browser (its index included) over the whole history, once,
// and the first search typed before the event loop has run. Under
// callgrind --collect-atstart=no the build alone is counted.
void BM_BuildBrowser(benchmark::State &state)
{
    Fixture &f = Fixture::instance();
    for (auto _ : state)
        state.SetIterationTime(f.buildMilliseconds / 1e3);
    state.counters["cpuMs"] = f.buildCpuMilliseconds;
    state.counters["indexAloneCpuMs"] = f.indexCpuMilliseconds;
    state.counters["firstSearchCpuMs"] = f.firstSearchCpuMilliseconds;
}
BENCHMARK(BM_BuildBrowser)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return runBenchmarks<QApplication>(argc, argv);
}
