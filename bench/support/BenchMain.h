// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <benchmark/benchmark.h>

#include <functional>

// The entry point of every benchmark program: the Qt application object of
// kind `App` (QCoreApplication, or QApplication for views) around the run.
// `beforeExit` ends what must go while the application still exists.
template <typename App>
int runBenchmarks(int argc, char **argv, const std::function<void()> &beforeExit = {})
{
    App app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (beforeExit)
        beforeExit();
    return 0;
}
