// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "MappedFile.h"

#include "RegularFile.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// The one mapping a bus error may hit, for the signal handler.
std::atomic<char *> g_begin{nullptr};
std::atomic<char *> g_end{nullptr};
std::atomic<bool> g_cutShort{false};
std::atomic<long> g_pageSize{4096};
struct sigaction g_previous {};

// A read past the end of a file cut short: the page becomes a page of zeros
// and the read goes on. Any other bus error is left to what handled it
// before: the handler steps aside and the read faults again.
void onBusError(int, siginfo_t *info, void *)
{
    char *const at = static_cast<char *>(info->si_addr);
    char *const begin = g_begin.load();
    if (begin && at >= begin && at < g_end.load()) {
        const auto page = quintptr(g_pageSize.load());
        void *const start = reinterpret_cast<void *>(quintptr(at) & ~(page - 1));
        if (::mmap(start, page, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) !=
            MAP_FAILED) {
            g_cutShort.store(true);
            return;
        }
    }
    ::sigaction(SIGBUS, &g_previous, nullptr);
}

} // namespace

MappedFile::~MappedFile()
{
    close();
    if (m_fd >= 0)
        ::close(m_fd);
}

QString MappedFile::open(const QString &path)
{
    close();
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
    if (QString error = RegularFile::open(path, m_fd); !error.isEmpty())
        return error;

    struct stat st {};
    char *expected = nullptr;
    if (::fstat(m_fd, &st) == 0 && st.st_size > 0 &&
        g_begin.compare_exchange_strong(expected, reinterpret_cast<char *>(quintptr(1)))) {
        void *const map = ::mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_PRIVATE, m_fd, 0);
        if (map != MAP_FAILED) {
            m_map = static_cast<char *>(map);
            m_size = qsizetype(st.st_size);
            g_pageSize.store(::sysconf(_SC_PAGESIZE));
            g_cutShort.store(false);
            g_end.store(m_map + m_size);
            g_begin.store(m_map);
            struct sigaction action {};
            action.sa_sigaction = onBusError;
            action.sa_flags = SA_SIGINFO;
            sigemptyset(&action.sa_mask);
            ::sigaction(SIGBUS, &action, &g_previous);
            return {};
        }
        g_begin.store(nullptr);
    }

    // Not mapped: read it (a size of 0 may also be a file the kernel makes
    // up as it is read).
    QFile file;
    if (file.open(m_fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        m_read = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("Cannot read \"%1\": %2")
            .arg(QDir::toNativeSeparators(path), file.errorString());
    return {};
}

QByteArrayView MappedFile::bytes() const
{
    return m_map ? QByteArrayView(m_map, m_size) : QByteArrayView(m_read);
}

void MappedFile::releaseFront(qsizetype consumed)
{
    if (!m_map) {
        RegularFile::releaseFront(m_read, consumed);
        return;
    }
    const auto page = quintptr(g_pageSize.load());
    const quintptr last = quintptr(m_map + std::min(consumed, m_size)) & ~(page - 1);
    if (last > quintptr(m_map))
        ::madvise(m_map, last - quintptr(m_map), MADV_DONTNEED);
}

bool MappedFile::wasCutShort() const
{
    return m_map && g_cutShort.load();
}

int MappedFile::takeDescriptor()
{
    return std::exchange(m_fd, -1);
}

void MappedFile::close()
{
    m_read.clear();
    if (!m_map)
        return;
    ::sigaction(SIGBUS, &g_previous, nullptr);
    g_begin.store(nullptr);
    g_end.store(nullptr);
    ::munmap(m_map, size_t(m_size));
    m_map = nullptr;
    m_size = 0;
}
