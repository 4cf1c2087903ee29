// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The history window and the popover as the user drives them, shown on the
// offscreen platform (real layout, real fonts, real painting into the
// window's backing store): main-thread CPU per keystroke in the search
// field, per scroll-wheel step and per day change (arrow key in the day
// list), with the pointer resting over the list so that hover fades run.
// Each step is timed from its input event until the event loop has been
// idle for a while, fades and repaints included. Also the first opening of
// the history window over 100,000 items.
//
//   bench_rows [--quick]
#include "BenchApp.h"
#include "MenuBarPopoverView.h"
#include "SampleHistory.h"
#include "SystemClock.h"
#include "Theme.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "BenchSettings.h"
#include "FakeLoginItem.h"
#include "FakePasteboard.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>

namespace {

double threadCpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Runs the event loop for `milliseconds` of wall time: long enough for a
// hover fade (120 ms) and the repaints it asks for.
void settle(int milliseconds = 220)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void report(const char *what, QList<double> samples)
{
    std::sort(samples.begin(), samples.end());
    std::printf("  %-34s min %7.2f  median %7.2f  max %7.2f ms  (n=%lld)\n", what, samples.first(),
                samples.at(samples.size() / 2), samples.last(), qlonglong(samples.size()));
    std::fflush(stdout);
}

// Main-thread CPU of `step` and of everything the event loop does after it.
QList<double> measure(int count, const std::function<void(int)> &step)
{
    QList<double> samples;
    for (int i = 0; i < count; ++i) {
        const double start = threadCpuMilliseconds();
        step(i);
        settle();
        samples.append(threadCpuMilliseconds() - start);
    }
    return samples;
}

void restPointerOn(QWidget *widget)
{
    const QPoint local(widget->width() / 2, widget->height() / 3);
    QCursor::setPos(widget->mapToGlobal(local));
    QTest::mouseMove(widget, local);
    settle();
}

void wheelStep(QWidget *viewport)
{
    const QPointF local(viewport->width() / 2.0, viewport->height() / 3.0);
    QWheelEvent event(local, viewport->mapToGlobal(local), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &event);
}

// Keystrokes that keep most of the day listed, then narrow it and widen it
// back: "e", "x", Backspace, Backspace, again.
void typeStep(QWidget *field, int i)
{
    static const Qt::Key keys[] = {Qt::Key_E, Qt::Key_X, Qt::Key_Backspace, Qt::Key_Backspace};
    const Qt::Key key = keys[i % 4];
    const char text = key == Qt::Key_E ? 'e' : key == Qt::Key_X ? 'x' : 0;
    if (text)
        QTest::keyClick(field, text);
    else
        QTest::keyClick(field, key);
}

// A store of `count` items spread evenly over `days` days that end with
// today, so that each day holds count / days items.
struct History : BenchApp {
    History(int count, int days)
        : BenchApp(count, QDateTime(QDate::currentDate(), QTime(23, 59, 59, 999)), days)
    {
    }
};

// The history window from its first opening: the CPU until it is up and
// painted (the first paint is what the user waits for).
void openWindow(History &h, bool print)
{
    const double start = threadCpuMilliseconds();
    h.windows->showMainWindow();
    const double shown = threadCpuMilliseconds() - start;
    QWidget *window = h.windows->mainWindow();
    window->resize(1200, 820);
    if (!QTest::qWaitForWindowExposed(window))
        qFatal("The history window did not show");
    QApplication::processEvents();
    const double painted = threadCpuMilliseconds() - start;
    if (print)
        std::printf("  first open: showMainWindow() %.2f ms, up to the first paint %.2f ms\n",
                    shown, painted);
    settle();
}

void historyWindow(int count, int days, int samples)
{
    History h(count, days);
    std::printf("History window, %d items over %d days:\n", count, days);
    openWindow(h, true);
    QWidget *window = h.windows->mainWindow();
    auto *search = window->findChild<QLineEdit *>(QStringLiteral("searchField"));
    auto *dayList = window->findChild<QListView *>(QStringLiteral("dayList"));
    auto *itemList = window->findChild<QListView *>(QStringLiteral("itemList"));
    std::printf("  items in the day shown: %d\n", itemList->model()->rowCount());
    restPointerOn(itemList->viewport());

    report("keystroke in the search field", measure(samples, [&](int i) { typeStep(search, i); }));
    search->clear();
    settle();
    report("scroll-wheel step", measure(samples, [&](int) { wheelStep(itemList->viewport()); }));
    dayList->setFocus();
    settle();
    report("day change (arrow key)", measure(samples, [&](int i) {
               QTest::keyClick(dayList, i % 2 == 0 ? Qt::Key_Down : Qt::Key_Up);
           }));
}

void popoverAndFirstOpen(int samples)
{
    History h(100000, 365);
    std::printf("100,000 items over 365 days:\n");
    openWindow(h, true);
    h.windows->hideMainWindow();
    settle();

    h.controller->statusItemClicked();
    QWidget &popover = h.controller->popover();
    if (!QTest::qWaitForWindowExposed(&popover))
        qFatal("The popover did not show");
    settle();
    auto *search = popover.findChild<QLineEdit *>(QStringLiteral("searchField"));
    auto *list = popover.findChild<QListView *>(QStringLiteral("recentList"));
    std::printf("Popover, rows: %d\n", list->model()->rowCount());
    restPointerOn(list->viewport());
    report("keystroke in the search field", measure(samples, [&](int i) { typeStep(search, i); }));
    search->clear();
    settle();
    report("scroll-wheel step", measure(samples, [&](int) { wheelStep(list->viewport()); }));
    h.controller->closePopover();
    settle();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    const int samples = quick ? 8 : 24;
    popoverAndFirstOpen(samples);
    historyWindow(20000, 10, samples);
    historyWindow(40000, 2, samples);
    return 0;
}
