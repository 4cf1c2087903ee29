// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "AppSettings.h"
#include "ClipboardStore.h"
#include "SampleHistory.h"
#include "SystemClock.h"

#include <QDateTime>
#include <QTemporaryDir>

#include "BenchSettings.h"
#include "FakeLoginItem.h"
#include "FakePasteboard.h"

#include <memory>

// A store over `count` sample items spread evenly over `days` days that end
// at `end`, in a directory of its own, with settings in memory and a
// pasteboard the benchmark drives. `everyCopy` records a text copied again
// as a new item.
struct BenchStore {
    BenchStore(int count, const QDateTime &end, int days, bool everyCopy = false)
    {
        if (everyCopy)
            backend.values.insert(QStringLiteral("captureMode"), QStringLiteral("recordEveryCopy"));
        writeSampleHistoryFile(path, count, end, days);
        settings = std::make_unique<AppSettings>(backend, login);
        store = std::make_unique<ClipboardStore>(*settings, pasteboard, clock, path);
    }

    QTemporaryDir dir;
    QString path = dir.path() + QStringLiteral("/clipboard-history.json");
    MemorySettingsBackend backend = quietSettings();
    FakeLoginItem login;
    FakePasteboard pasteboard;
    SystemClock clock;
    std::unique_ptr<AppSettings> settings;
    std::unique_ptr<ClipboardStore> store;
};
