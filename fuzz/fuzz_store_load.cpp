// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

// libFuzzer target for the store's start: arbitrary bytes as the history
// file, then a ClipboardStore is built over it. Whatever the bytes: no
// crash; a file the reader accepts is loaded (newest first) and rewritten
// without a copy aside; any other is moved aside unchanged, the history
// starts empty; either way the file left behind reads back.
#include "AppSettings.h"
#include "ClipboardStore.h"
#include "FakeLoginItem.h"
#include "FakePasteboard.h"
#include "FixedClock.h"
#include "HistoryCodec.h"
#include "MemorySettingsBackend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

// One directory per process, on a memory file system when there is one.
const QString &historyDirectory()
{
    static const QString &path = *new QString([] {
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                       : QDir::tempPath();
        const QString dir = base + QStringLiteral("/quillmark-fuzz-store-%1").arg(::getpid());
        QDir().mkpath(dir + QStringLiteral("/ClipboardHistory"));
        std::atexit([] { QDir(historyDirectory()).removeRecursively(); });
        return dir + QStringLiteral("/ClipboardHistory");
    }());
    return path;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QLoggingCategory::setFilterRules(QStringLiteral("*.warning=false"));
    check(std::freopen("/dev/null", "w", stdout) != nullptr, "cannot silence standard output");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QDir dir(historyDirectory());
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(dir.filePath(name));
    const QString path = dir.filePath(QStringLiteral("clipboard-history.json"));
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly), "cannot write the input");
        check(file.write(input) == input.size(), "short write of the input");
    }
    QList<ClipboardItem> expected;
    QString error;
    const bool readable = HistoryCodec::decode(input, expected, error);

    MemorySettingsBackend backend;
    backend.values.insert(QStringLiteral("startMonitoringImmediately"), false);
    backend.values.insert(QStringLiteral("retentionPeriod"), qlonglong(366));
    FakeLoginItem login;
    AppSettings settings(backend, login);
    FakePasteboard pasteboard;
    FixedClock clock;
    ClipboardStore store(settings, pasteboard, clock, path);
    // Saves run on a writer thread.
    store.waitForSaves();

    const QStringList aside = dir.entryList({QStringLiteral("clipboard-history.json.corrupt-*")},
                                            QDir::Files | QDir::Hidden | QDir::System);
    if (readable) {
        check(aside.isEmpty(), "a readable history was moved aside");
        check(store.items().size() <= expected.size(), "loading added items");
        check(std::is_sorted(store.items().cbegin(), store.items().cend(),
                             [](const ClipboardItem &a, const ClipboardItem &b) {
                                 return a.createdAt > b.createdAt;
                             }),
              "loaded items are not newest first");
    } else {
        check(aside.size() == 1, "an unreadable history was not moved aside");
        check(readFile(dir.filePath(aside.first())) == input, "the copy aside differs");
        check(store.items().isEmpty(), "an unreadable history gave items");
    }
    QList<ClipboardItem> written;
    check(HistoryCodec::decode(readFile(path), written, error), "the rewritten file is unreadable");
    check(written.size() == store.items().size(), "the rewritten file holds other items");
    return 0;
}
