// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "HistoryWriter.h"

#include "AtomicFile.h"
#include "HistoryCodec.h"

HistoryWriter::HistoryWriter(QString path, QObject *parent)
    : QObject(parent), m_path(std::move(path)), m_thread([this] { run(); })
{
}

HistoryWriter::~HistoryWriter()
{
    {
        std::unique_lock lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void HistoryWriter::save(QList<ClipboardItem> items, bool quiet)
{
    {
        const std::lock_guard lock(m_mutex);
        const bool reported = !quiet || (m_pending && m_pending->reported);
        m_pending = Job{std::move(items), reported};
    }
    m_changed.notify_all();
}

void HistoryWriter::waitForIdle()
{
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_pending && !m_writing; });
    }
    deliverResults();
}

bool HistoryWriter::isIdle() const
{
    const std::lock_guard lock(m_mutex);
    return !m_pending && !m_writing;
}

qint64 HistoryWriter::filesWritten() const
{
    const std::lock_guard lock(m_mutex);
    return m_filesWritten;
}

void HistoryWriter::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_pending || m_stopping; });
        // Stopping still writes what waits: nothing handed over is dropped.
        if (!m_pending)
            return;
        const Job job = *std::exchange(m_pending, std::nullopt);
        m_writing = true;
        lock.unlock();
        const QString error = write(job.items);
        lock.lock();
        m_writing = false;
        if (error.isEmpty())
            ++m_filesWritten;
        m_results.append({error, job.reported});
        // One queued call drains however many results have gathered.
        if (m_results.size() == 1)
            QMetaObject::invokeMethod(this, &HistoryWriter::deliverResults, Qt::QueuedConnection);
        m_changed.notify_all();
    }
}

void HistoryWriter::deliverResults()
{
    QList<Result> results;
    {
        const std::lock_guard lock(m_mutex);
        results.swap(m_results);
    }
    for (const Result &result : std::as_const(results))
        Q_EMIT saved(result.error, result.reported);
}

QString HistoryWriter::write(const QList<ClipboardItem> &items)
{
    return AtomicFile::write(
        m_path, [&items](const AtomicFile::Put &put) { return HistoryCodec::encode(items, put); });
}
