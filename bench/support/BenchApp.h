// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "AppWindowManager.h"
#include "BenchStore.h"
#include "MenuBarController.h"
#include "Theme.h"

#include <memory>

// Quillmark's windows over a store of `count` sample items spread evenly
// over `days` days that end at `end`, with the app's own controllers.
struct BenchApp : BenchStore {
    BenchApp(int count, const QDateTime &end, int days) : BenchStore(count, end, days)
    {
        theme = std::make_unique<Theme>(*settings);
        windows = std::make_unique<AppWindowManager>(*store, *settings, *theme, &pasteboard);
        controller = std::make_unique<MenuBarController>(*theme, *store, pasteboard, *windows);
    }
    ~BenchApp()
    {
        controller.reset();
        windows.reset();
    }

    std::unique_ptr<Theme> theme;
    std::unique_ptr<AppWindowManager> windows;
    std::unique_ptr<MenuBarController> controller;
};
