// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "MemorySettingsBackend.h"

#include <QString>

// Settings for benchmarks: the benchmark drives capture itself (no poll
// timer) and a year of retention keeps the whole generated sample.
[[nodiscard]] inline MemorySettingsBackend quietSettings()
{
    MemorySettingsBackend backend;
    backend.values.insert(QStringLiteral("startMonitoringImmediately"), false);
    backend.values.insert(QStringLiteral("retentionPeriod"), qlonglong(366));
    return backend;
}
