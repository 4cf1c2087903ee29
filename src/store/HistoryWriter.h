// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ClipboardItem.h"

#include <QList>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

// Writes the history file on a thread of its own, so that encoding, the
// disk and fsync never hold up the user interface. It is handed whole lists
// (cheap copies of the store's list: the items are shared, not copied) and
// writes each atomically. At most one write is in flight and one waits; a
// newer list replaces the waiting one, so a burst of changes costs about
// one file per write time, not one per change, and the file always ends up
// holding the latest list.
//
// Each item is encoded once. Beside each list comes a serial number per
// item, strictly decreasing along the list, that names the item for as
// long as it is held (the same serial is always the same item). The writer
// keeps the file it wrote last open, with where each element lies in it,
// and builds the next file from the new elements and ranges of that one,
// copied within the kernel: a capture in a history of 100,000 items encodes
// one item, not 100,000.
//
// Results come back on the thread that owns the writer (the main thread),
// through `saved`, in the order the writes finished.
class HistoryWriter : public QObject {
    Q_OBJECT
public:
    explicit HistoryWriter(QString path, QObject *parent = nullptr);
    // Finishes the write in flight and the waiting one first.
    ~HistoryWriter() override;
    HistoryWriter(const HistoryWriter &) = delete;
    HistoryWriter &operator=(const HistoryWriter &) = delete;

    // Queues `items` to be written, replacing a list that is still waiting.
    // A failure of a quiet save (a retry of one that failed) is delivered
    // with `reported` false, unless a reported save was folded into it.
    void save(QList<ClipboardItem> items, QList<qint64> serials, bool quiet = false);
    // At start-up, when the file just read (still open as `fd`, which this
    // takes over) holds exactly the encoding of the items named by
    // `serials`, its elements ending at `elementEnds`: nothing is written,
    // and the next save copies from it as from a file this writer wrote.
    void adopt(int fd, QList<qint64> serials, QList<qint64> elementEnds);
    // Blocks until every list handed over is written or has failed, and
    // delivers the results (`saved`) before it returns.
    void waitForIdle();
    [[nodiscard]] bool isIdle() const;
    // How many files have been written, successfully, since construction.
    [[nodiscard]] qint64 filesWritten() const;

Q_SIGNALS:
    // After each write: an empty string on success, else a description;
    // and the highest serial in the list written (0 for none).
    void saved(const QString &error, bool reported, qint64 newestSerial);

private:
    struct Job {
        QList<ClipboardItem> items;
        QList<qint64> serials;
        bool reported = true;
    };
    struct Result {
        QString error;
        bool reported;
        qint64 newestSerial;
    };
    // The file this writer wrote (or found) last, open for reading.
    struct WrittenFile {
        int fd = -1;
        qint64 size = 0;
        QList<qint64> serials;
        QList<qint64> ends; // where each element ends
    };

    void queue(Job job);
    void run();
    void deliverResults();
    // Worker thread only, from here on.
    [[nodiscard]] QString write(const Job &job, bool &wroteFile);
    [[nodiscard]] QString writeFile(const Job &job, bool reuse, bool &copyFailed);
    void replaceWritten(WrittenFile file);

    const QString m_path;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<Job> m_pending; // guarded by m_mutex
    bool m_writing = false;       // guarded by m_mutex
    bool m_stopping = false;      // guarded by m_mutex
    QList<Result> m_results;      // guarded by m_mutex
    qint64 m_filesWritten = 0;    // guarded by m_mutex
    WrittenFile m_written;        // the worker's, or anyone's under m_mutex while idle
    std::thread m_thread;
};
