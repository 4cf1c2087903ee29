// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// One writer per history file. The single-instance lock only covers one
// session's runtime directory; two sessions (another display, another
// XDG_RUNTIME_DIR, the same home over the network) would each run a store
// on the same file, and the last save would erase the other's captures. So
// the process that owns the history also holds an advisory lock (flock) on
// a file beside it, in the ClipboardHistory directory, for its whole run.
// The kernel drops the lock when the process ends, however it ends.
class HistoryLock {
public:
    // `historyFilePath` is the history file; the lock sits in its directory.
    explicit HistoryLock(QString historyFilePath);
    ~HistoryLock();
    HistoryLock(const HistoryLock &) = delete;
    HistoryLock &operator=(const HistoryLock &) = delete;

    // Takes the lock without waiting. Returns an empty string on success,
    // otherwise why not (another process holds it, or the lock file cannot
    // be made). Creates the history directory (mode 0700) when missing.
    [[nodiscard]] QString acquire();
    // After a failed acquire(): true when another process holds the lock,
    // false when it could not be taken at all (a read-only or missing
    // directory, where saving fails too).
    [[nodiscard]] bool isHeldElsewhere() const { return m_heldElsewhere; }

    [[nodiscard]] QString lockFilePath() const;

private:
    QString m_historyFilePath;
    int m_fd = -1;
    bool m_heldElsewhere = false;
};
