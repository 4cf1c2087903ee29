// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "AppSettings.h"
#include "AppWindowManager.h"
#include "ClipboardStore.h"
#include "MenuBarController.h"
#include "SampleHistory.h"
#include "SystemClock.h"
#include "Theme.h"

#include <QDateTime>
#include <QTemporaryDir>

#include "BenchSettings.h"
#include "FakeLoginItem.h"
#include "FakePasteboard.h"

#include <memory>

// Quillmark's windows over a store of `count` sample items spread evenly
// over `days` days that end at `end`, with the app's own controllers.
struct BenchApp {
    BenchApp(int count, const QDateTime &end, int days)
    {
        const QString path = dir.path() + QStringLiteral("/clipboard-history.json");
        writeSampleHistoryFile(path, count, end, days);
        settings = std::make_unique<AppSettings>(backend, login);
        store = std::make_unique<ClipboardStore>(*settings, pasteboard, clock, path);
        theme = std::make_unique<Theme>(*settings);
        windows = std::make_unique<AppWindowManager>(*store, *settings, *theme, &pasteboard);
        controller = std::make_unique<MenuBarController>(*theme, *store, pasteboard, *windows);
    }
    ~BenchApp()
    {
        controller.reset();
        windows.reset();
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
