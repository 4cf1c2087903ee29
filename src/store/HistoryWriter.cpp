// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "HistoryWriter.h"

#include "AtomicFile.h"
#include "HistoryCodec.h"
#include "PrivateDirectory.h"

#include <QFileInfo>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype kGatherBytes = 1 << 20;

qint64 startOf(const QList<qint64> &ends, qsizetype element)
{
    return element == 0 ? qint64(HistoryCodec::arrayStart.size())
                        : ends[element - 1] + qint64(HistoryCodec::separator.size());
}

} // namespace

HistoryWriter::HistoryWriter(QString path, QObject *parent)
    : QObject(parent), m_path(std::move(path)), m_thread([this] { run(); })
{
}

HistoryWriter::~HistoryWriter()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
    replaceWritten({});
}

void HistoryWriter::save(QList<ClipboardItem> items, QList<qint64> serials, bool quiet)
{
    queue({std::move(items), std::move(serials), !quiet});
}

void HistoryWriter::adopt(int fd, QList<qint64> serials, QList<qint64> elementEnds)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_pending && !m_writing; });
    if (fd < 0)
        return;
    // The size the elements make; writeFile() copies nothing from a file
    // that no longer has it.
    const qint64 expected = elementEnds.isEmpty()
                                ? qint64(HistoryCodec::emptyArray.size())
                                : elementEnds.back() + qint64(HistoryCodec::arrayEnd.size());
    replaceWritten({fd, expected, std::move(serials), std::move(elementEnds)});
}

void HistoryWriter::queue(Job job)
{
    Q_ASSERT(job.items.size() == job.serials.size());
    {
        const std::lock_guard lock(m_mutex);
        if (m_pending)
            job.reported = job.reported || m_pending->reported;
        m_pending = std::move(job);
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
        std::optional<Job> job = std::exchange(m_pending, std::nullopt);
        m_writing = true;
        lock.unlock();
        bool wroteFile = false;
        const QString error = write(*job, wroteFile);
        const bool reported = job->reported;
        const qint64 newestSerial = job->serials.isEmpty() ? 0 : job->serials.first();
        job.reset(); // the store's next change need not copy the list
        lock.lock();
        m_writing = false;
        if (wroteFile)
            ++m_filesWritten;
        m_results.append({error, reported, newestSerial});
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
        Q_EMIT saved(result.error, result.reported, result.newestSerial);
}

QString HistoryWriter::write(const Job &job, bool &wroteFile)
{
    // The directory gone (removed while we run, or never made): made again,
    // or the reason it cannot be is the error.
    if (const QString directory = QFileInfo(m_path).absolutePath(); !QFileInfo::exists(directory)) {
        if (QString error = PrivateDirectory::create(directory); !error.isEmpty())
            return error;
    }
    bool copyFailed = false;
    QString error = writeFile(job, true, copyFailed);
    if (copyFailed) {
        // The previous file is not what it was (shortened behind our back,
        // or unreadable): forget it and encode everything.
        replaceWritten({});
        error = writeFile(job, false, copyFailed);
    }
    wroteFile = error.isEmpty();
    return error;
}

QString HistoryWriter::writeFile(const Job &job, bool reuse, bool &copyFailed)
{
    const QList<ClipboardItem> &items = job.items;
    const QList<qint64> &serials = job.serials;
    struct stat st {};
    reuse = reuse && m_written.fd >= 0 && ::fstat(m_written.fd, &st) == 0 &&
            st.st_size == m_written.size;
    const QList<qint64> &oldSerials = m_written.serials;
    const qsizetype oldCount = reuse ? oldSerials.size() : 0;

    WrittenFile next;
    next.serials = serials;
    next.ends.reserve(items.size());
    const QString error = AtomicFile::write(
        m_path,
        [&](AtomicFile::Output &out) {
            if (items.isEmpty()) {
                next.size = qint64(HistoryCodec::emptyArray.size());
                return out.put(HistoryCodec::emptyArray);
            }
            // New bytes gather into writes of about a megabyte; a copy of
            // old ranges goes out after what was gathered before it.
            qint64 pos = 0;
            QByteArray gathered;
            auto flush = [&] {
                const bool ok = gathered.isEmpty() || out.put(gathered);
                gathered.truncate(0);
                return ok;
            };
            auto put = [&](QByteArrayView bytes) {
                pos += bytes.size();
                gathered.append(bytes);
                return gathered.size() < kGatherBytes || flush();
            };
            const HistoryCodec::Sink putPiece = put;
            if (!put(HistoryCodec::arrayStart))
                return false;
            qsizetype old = 0;
            for (qsizetype i = 0; i < items.size();) {
                if (i > 0 && !put(HistoryCodec::separator))
                    return false;
                // Both lists run from the highest serial down: an old serial
                // above the new one belongs to an item that has gone.
                while (old < oldCount && oldSerials[old] > serials[i])
                    ++old;
                if (old < oldCount && oldSerials[old] == serials[i]) {
                    // Elements that follow each other in both files, with
                    // the separators between them: one copy. After a capture
                    // that is every old element, so the run is found and its
                    // ends moved in plain loops over the arrays.
                    const qint64 *newFrom = serials.constData() + i;
                    const qint64 *oldFrom = oldSerials.constData() + old;
                    const qsizetype run =
                        std::mismatch(newFrom, serials.constData() + serials.size(), oldFrom,
                                      oldSerials.constData() + oldCount)
                            .first -
                        newFrom;
                    const qint64 *oldEnds = std::as_const(m_written.ends).constData() + old;
                    const qint64 start = startOf(m_written.ends, old);
                    const qint64 shift = pos - start;
                    const qsizetype before = next.ends.size();
                    next.ends.resize(before + run);
                    qint64 *ends = next.ends.data() + before;
                    for (qsizetype k = 0; k < run; ++k)
                        ends[k] = oldEnds[k] + shift;
                    i += run;
                    old += run;
                    const qint64 length = oldEnds[run - 1] - start;
                    if (!flush())
                        return false;
                    if (!out.copy(m_written.fd, start, length)) {
                        copyFailed = true;
                        return false;
                    }
                    pos += length;
                } else {
                    if (!HistoryCodec::encodeElement(items[i], putPiece))
                        return false;
                    next.ends.append(pos);
                    ++i;
                }
            }
            if (!put(HistoryCodec::arrayEnd) || !flush())
                return false;
            next.size = pos;
            return true;
        },
        &next.fd);
    if (error.isEmpty())
        replaceWritten(std::move(next));
    return error;
}

void HistoryWriter::replaceWritten(WrittenFile file)
{
    if (m_written.fd >= 0)
        ::close(m_written.fd);
    m_written = std::move(file);
}
