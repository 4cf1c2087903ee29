// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "AppRequest.h"

#include <QString>
#include <QStringList>

// What the arguments of one launch ask for. Every command becomes the same
// small AppRequest that a running instance receives over its socket; only
// --help, --version, mistakes and what reads the history file (--list,
// --print) are answered right here, before any display is needed.
struct CommandLine {
    enum class Outcome {
        // Become the instance, or hand `request` to the running one.
        run,
        // Print `message` to standard output and end with `exitCode` (0).
        print,
        // Print `message` to standard error and end with `exitCode` (2, or 1
        // for a missing or malformed item number).
        fail,
        // Print the history (CommandLineHistory::list).
        listHistory,
        // Print the text of item `item` (CommandLineHistory::print).
        printItem,
    };

    Outcome outcome = Outcome::run;
    AppRequest request;
    // For printItem, and for a copyItem request: 1 is the newest item.
    qint64 item = 0;
    QString message;
    int exitCode = 0;

    // `arguments` includes the program name first, as argv does.
    [[nodiscard]] static CommandLine parse(const QStringList &arguments);
    // "Quillmark 0.1.0 (build 42)".
    [[nodiscard]] static QString versionText();
};
