// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "AppSettings.h"
#include "ClipboardStore.h"
#include "FakeLoginItem.h"
#include "FakePasteboard.h"
#include "FixedClock.h"
#include "HistoryCodec.h"
#include "MemorySettingsBackend.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

// The texts of `items`, in their order.
inline QStringList contents(const QList<ClipboardItem> &items)
{
    QStringList texts;
    for (const ClipboardItem &item : items)
        texts.append(item.content.toString());
    return texts;
}

// A store over fakes in a temporary directory. Monitoring is off unless a
// test turns it on, so polls happen when the test calls them.
struct StoreHarness {
    explicit StoreHarness(bool monitoring = false)
    {
        backend.values.insert(QStringLiteral("startMonitoringImmediately"), monitoring);
        settings = std::make_unique<AppSettings>(backend, login);
        historyPath = dir.path() + QStringLiteral("/ClipboardHistory/clipboard-history.json");
    }

    // A store with its start-up save on disk.
    ClipboardStore &open()
    {
        store = std::make_unique<ClipboardStore>(*settings, pasteboard, clock, historyPath);
        store->waitForSaves();
        return *store;
    }

    // A history file holding `items` in the given order.
    void writeHistory(const QList<ClipboardItem> &items) const
    {
        writeFile(HistoryCodec::encode(items));
    }
    void writeFile(const QByteArray &bytes) const { writeFileAt(historyPath, bytes); }
    // A backup beside the history, holding `items`, to import; its path.
    [[nodiscard]] QString writeBackup(const QList<ClipboardItem> &items) const
    {
        const QString path = dir.filePath(QStringLiteral("backup.json"));
        writeFileAt(path, HistoryCodec::encode(items));
        return path;
    }
    static void writeFileAt(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(bytes);
    }
    // Another application copies `text` `afterMsecs` from now, and the store
    // polls.
    void copy(const std::optional<QString> &text, qint64 afterMsecs = 0)
    {
        clock.advance(afterMsecs);
        pasteboard.copy(text);
        store->pollPasteboard();
    }
    // The file as it is once the store's saves have landed.
    [[nodiscard]] QByteArray fileBytes() const
    {
        if (store)
            store->waitForSaves();
        QFile file(historyPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The items the history file holds now (empty when it is missing).
    [[nodiscard]] QList<ClipboardItem> fileItems() const
    {
        QList<ClipboardItem> items;
        QString error;
        (void)HistoryCodec::decode(fileBytes(), items, error);
        return items;
    }
    [[nodiscard]] QStringList contents() const { return ::contents(store->items()); }

    QTemporaryDir dir;
    MemorySettingsBackend backend;
    FakeLoginItem login;
    std::unique_ptr<AppSettings> settings;
    FakePasteboard pasteboard;
    FixedClock clock;
    QString historyPath;
    std::unique_ptr<ClipboardStore> store;
};

// A local wall-clock time (in the process's zone) as a UTC instant.
inline QDateTime localTime(int y, int mo, int d, int h, int mi, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::LocalTime).toUTC();
}

inline ClipboardItem makeItem(const QString &content, const QDateTime &createdAt)
{
    return ClipboardItem{QUuid::createUuid(), content, createdAt};
}
