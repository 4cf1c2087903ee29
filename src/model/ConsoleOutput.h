// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// The lines Quillmark prints by design ("Failed to save clipboard history: ...")
// go to standard output, one per call, flushed at once: when standard output
// is a pipe or a file (autostart, tests) it would otherwise be held back
// until exit, or lost in a crash.
void printLine(const QString &line);
