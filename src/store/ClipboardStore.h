// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "ClipboardItem.h"
#include "HistoryCodec.h"
#include "SettingsEnums.h"

#include <QDate>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

class AppSettings;
class Clock;
class HistoryWriter;
class Pasteboard;
class QTimer;

// The single owner of the clipboard history: the list of items, newest
// first, which every view observes and which is rewritten to the history
// file after each change. It also polls the clipboard (capture) and applies
// retention. One instance per process, built by AppDelegate and handed to
// whatever needs it.
//
// Change notification mirrors Qt's model protocol so that views can update
// without rebuilding: about-to/done pairs for insertion (always at the front
// here), removal of a contiguous row range (emitted from the highest range
// down, so indices of earlier signals stay valid) and reset. A removal that
// would take more than a few dozen separate ranges is announced as a reset.
class ClipboardStore : public QObject {
    Q_OBJECT
public:
    ClipboardStore(AppSettings &settings, Pasteboard &pasteboard, Clock &clock,
                   const QString &historyFilePath, QObject *parent = nullptr);
    ~ClipboardStore() override;

    // The order of `items` after a load: newest first, items with equal
    // times in their order. False when they were in that order already.
    static bool sortNewestFirst(QList<ClipboardItem> &items);

    // The default history file: <XDG data>/quillmark/ClipboardHistory/clipboard-history.json
    [[nodiscard]] static QString defaultHistoryFilePath();
    // Reads and decodes a history file as loading does (mapped, read again
    // if another program cuts it short meanwhile), without writing, locking
    // or moving anything: `items` in file order, or an error text, in which
    // case `items` is left alone. With `descriptor`, the open file is handed
    // over on success (the caller closes it).
    [[nodiscard]] static QString readHistoryFile(const QString &path, QList<ClipboardItem> &items,
                                                 HistoryCodec::Layout *layout = nullptr,
                                                 int *descriptor = nullptr);
    // The start of the line printed for a history that cannot be read.
    [[nodiscard]] static QString unreadableMessage()
    {
        return QStringLiteral("Clipboard history could not be read");
    }

    [[nodiscard]] const QList<ClipboardItem> &items() const { return m_items; }
    [[nodiscard]] QString fileURL() const { return m_filePath; }

    // Capture.
    void startMonitoring();
    void stopMonitoring();
    [[nodiscard]] bool isMonitoring() const { return m_timer != nullptr; }
    // How often monitoring polls: 800 ms unless a test wants it sooner.
    void setPollInterval(int msecs);
    void pollPasteboard();
    // Texts above kMaximumCapturedTextBytes are not recorded (one printed
    // line says so).
    void handleCopiedText(const ItemText &text);
    [[nodiscard]] bool shouldSuppress(const ItemText &text) const;

    // History operations.
    void pruneExpiredItems();
    void clearToday();
    void clearAll();
    // Hands the current list to the writer thread and returns at once; the
    // file holds it a write time later (tens of milliseconds for 100,000
    // items). A failure prints "Failed to save clipboard history: ..." from
    // this thread when the result comes back, and is retried at each tick
    // and at the end until a save succeeds.
    void save();
    // Blocks until every save handed over is on disk (or has failed and
    // been reported).
    void waitForSaves();
    // At the end: waits for the saves and tries a failed one once more.
    // Should that fail too, prints one line saying what is lost and returns
    // false. The destructor does this when no one did.
    [[nodiscard]] bool finishSaving();
    // Files written successfully since construction.
    [[nodiscard]] qint64 filesWritten() const;
    // Day queries in the local calendar, from a per-item cache of local
    // dates kept beside `items` (linear scans, no time zone work per call).
    // The cache is rebuilt when the whole list is replaced (load, import);
    // items already held keep the day computed under the zone rules of then.
    [[nodiscard]] QList<QDate> availableDays() const;
    [[nodiscard]] QList<ClipboardItem> itemsForDay(QDate day) const;
    // The rows of `items` on `day`, newest first (stable).
    [[nodiscard]] QList<int> rowsForDay(QDate day) const;
    // The local calendar day of `items()[row]`.
    [[nodiscard]] QDate dayOfItem(int row) const { return m_days.at(row); }

    // Backup. Each returns an empty string on success, otherwise a human
    // description of the failure; on failure nothing changes.
    [[nodiscard]] QString exportHistory(const QString &path) const;
    [[nodiscard]] QString importHistory(const QString &path);
    void replaceAll(QList<ClipboardItem> list);

Q_SIGNALS:
    void itemsAboutToBeInserted(int first, int last);
    void itemsInserted(int first, int last);
    void itemsAboutToBeRemoved(int first, int last);
    void itemsRemoved(int first, int last);
    void itemsAboutToBeReset();
    void itemsReset();
    // A save has reached the disk (the file's size may have changed).
    void historySaved();

private:
    void onSaved(const QString &error, bool reported, qint64 newestSerial);
    // True when the file holds exactly what saving `items` would write.
    [[nodiscard]] bool loadItems();
    void reportTooLarge(qint64 bytes);
    void moveAsideUnreadable();
    [[nodiscard]] QString writeHistoryFile(const QString &path) const;
    // Drops items older than the retention cutoff; true when any went.
    [[nodiscard]] bool removeExpired();
    template <typename Predicate> bool removeRowsWhere(Predicate shouldRemove);
    // Without serials for `items`, they are given new ones.
    void resetItems(QList<ClipboardItem> items, QList<qint64> serials = {});
    [[nodiscard]] QList<qint64> newSerials(qsizetype count);
    [[nodiscard]] std::optional<qint64> cutoffMsecs(const QDateTime &now);
    // The time retention prunes by (see the definition).
    [[nodiscard]] QDateTime retentionNow();
    void recomputeOldest();
    void onRetentionPeriodChanged();
    // Arms the timer for the first tick at least `quietMsecs` away, unless
    // it is armed for one sooner.
    void scheduleTick(qint64 quietMsecs);
    [[nodiscard]] qint64 quietMsecs() const;

    AppSettings &m_settings;
    Pasteboard &m_pasteboard;
    Clock &m_clock;
    QString m_filePath;
    HistoryWriter *m_writer = nullptr;
    bool m_saveFailed = false; // the last save that finished failed
    QString m_saveError;       // and why
    // The highest serial the file holds: items above it are not on disk.
    qint64 m_savedNewestSerial = 0;
    std::optional<bool> m_finished; // finishSaving()'s answer
    QList<ClipboardItem> m_items;
    QList<QDate> m_days; // local day of each item, parallel to m_items
    // What names each item for the writer, parallel to m_items: strictly
    // decreasing, never reused (see HistoryWriter).
    QList<qint64> m_serials;
    qint64 m_nextSerial = 1;
    struct CutoffDistance {
        RetentionPeriod period;
        qint64 from;     // the start of the clock minute it holds for
        qint64 distance; // from now back to the cutoff, in milliseconds
    };
    std::optional<CutoffDistance> m_cutoff;
    qint64 m_oldestMsecs = 0; // earliest createdAt held, for a cheap idle prune
    // Both clocks when retention last looked, and how far the wall clock
    // has jumped ahead since they last agreed for a while.
    qint64 m_lastWallMsecs = 0;
    qint64 m_lastElapsedMsecs = 0;
    qint64 m_wallAheadMsecs = 0;
    qint64 m_jumpedAtElapsed = 0;

    QTimer *m_timer = nullptr;
    QElapsedTimer m_ticks; // since the first tick's beat
    int m_pollIntervalMsecs = 800;
    qint64 m_lastChangeCount = 0;
    std::optional<ItemText> m_lastAcceptedContent;
    std::optional<QDateTime> m_lastAcceptedAt;
};
