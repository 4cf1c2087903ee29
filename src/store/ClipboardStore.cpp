// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ClipboardStore.h"

#include "AppSettings.h"
#include "AtomicFile.h"
#include "Clock.h"
#include "ConsoleOutput.h"
#include "HistoryCodec.h"
#include "HistoryWriter.h"
#include "LocalDays.h"
#include "MappedFile.h"
#include "Pasteboard.h"
#include "PrivateDirectory.h"
#include "RegularFile.h"
#include "StoreLogging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <numeric>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr qint64 kNoItems = std::numeric_limits<qint64>::max();
// Beyond this many separate runs of rows to remove at once, one reset is
// cheaper for the views than that many removals.
constexpr qsizetype kMaxRemovalRanges = 32;
// The wall clock moving further than the time elapsed, by more than this,
// is a jump rather than the time service's usual corrections.
constexpr qint64 kClockJumpMsecs = 10'000;
// After a jump, the wall clock is trusted again once it has kept pace with
// the elapsed time for this long.
constexpr qint64 kClocksAgreeMsecs = 10 * 60'000;

qint64 suppressionWindowMsecs(DuplicateSuppressionWindow window)
{
    return qint64(rawValue(window)) * 1000;
}

// The same wall-clock time `days` calendar days before `now`, in local time
// (so a daylight-saving change in between does not shift it).
std::optional<qint64> retentionCutoffMsecs(const QDateTime &now, RetentionPeriod period)
{
    const QDateTime cutoff = now.toLocalTime().addDays(-rawValue(period));
    if (!cutoff.isValid())
        return std::nullopt;
    return cutoff.toMSecsSinceEpoch();
}

// A history file kept as it is at start gets the mode a save would give it
// (0600), but only when it is the user's own plain file: a file reached
// through a link keeps the mode its owner chose.
void keepPrivate(int fd, const QString &path)
{
    struct stat opened {};
    struct stat named {};
    if (::fstat(fd, &opened) != 0 || ::lstat(QFile::encodeName(path).constData(), &named) != 0)
        return;
    if (S_ISREG(named.st_mode) && named.st_dev == opened.st_dev && named.st_ino == opened.st_ino &&
        named.st_uid == ::geteuid() && (named.st_mode & 07777) != (S_IRUSR | S_IWUSR))
        ::fchmod(fd, S_IRUSR | S_IWUSR);
}

} // namespace

ClipboardStore::ClipboardStore(AppSettings &settings, Pasteboard &pasteboard, Clock &clock,
                               const QString &historyFilePath, QObject *parent)
    : QObject(parent), m_settings(settings), m_pasteboard(pasteboard), m_clock(clock),
      m_filePath(historyFilePath), m_writer(new HistoryWriter(historyFilePath, this)),
      m_oldestMsecs(kNoItems)
{
    connect(m_writer, &HistoryWriter::saved, this, &ClipboardStore::onSaved);
    m_lastChangeCount = m_pasteboard.changeCount();
    m_lastWallMsecs = m_clock.now().toMSecsSinceEpoch();
    m_lastElapsedMsecs = m_clock.elapsedMSecs();

    // The directory holds everything the user copied: private to them.
    const QString directory = QFileInfo(m_filePath).absolutePath();
    if (!QFileInfo::exists(directory)) {
        // A failure is told by the first save, which tries again.
        (void)PrivateDirectory::create(directory);
    } else if (QFileInfo(directory).isDir()) {
        // Tightened only when it is our own plain directory: one reached
        // through a link may be shared on purpose (group access, setgid).
        struct stat st {};
        if (::lstat(QFile::encodeName(directory).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
            st.st_uid == ::geteuid())
            ::chmod(QFile::encodeName(directory).constData(), S_IRWXU);
        AtomicFile::removeLeftovers(m_filePath);
    }

    // A file that already holds exactly what would be written is left as
    // it is; otherwise pruning and the first save are folded into one write
    // (which copies what it can from a file in the written form).
    const bool fileIsCurrent = loadItems();
    if (removeExpired() || !fileIsCurrent)
        save();

    m_pasteboard.setChangeListener([this] { scheduleTick(0); });
    // A wall clock set anew (or a system waking up) may bring a cutoff
    // nearer than the tick the timer waits for.
    m_clock.setWallClockListener([this] { scheduleTick(0); });
    connect(&m_settings, &AppSettings::startMonitoringImmediatelyChanged, this,
            [this](bool on) { on ? startMonitoring() : stopMonitoring(); });
    connect(&m_settings, &AppSettings::retentionPeriodChanged, this,
            &ClipboardStore::onRetentionPeriodChanged);
    if (m_settings.startMonitoringImmediately())
        startMonitoring();
}

ClipboardStore::~ClipboardStore()
{
    m_pasteboard.setChangeListener({});
    m_clock.setWallClockListener({});
    if (!m_finished)
        (void)finishSaving();
}

bool ClipboardStore::finishSaving()
{
    // Quitting (and SIGTERM, which quits) ends here: what was accepted is
    // written before the process goes, and a save that failed gets one more
    // chance.
    if (m_finished)
        return *m_finished;
    waitForSaves();
    if (m_saveFailed) {
        m_writer->save(m_items, m_serials, /*quiet=*/true);
        waitForSaves();
    }
    m_finished = !m_saveFailed;
    if (m_saveFailed) {
        // Serials only grow: the items above the newest one saved are the
        // copies the file lacks. With none, what is unsaved is a deletion
        // (or the file's form).
        const auto lost =
            std::count_if(m_serials.cbegin(), m_serials.cend(),
                          [this](qint64 serial) { return serial > m_savedNewestSerial; });
        const QString what = lost == 0   ? QStringLiteral("its latest changes are not on disk")
                             : lost == 1 ? QStringLiteral("1 copy is lost")
                                         : QStringLiteral("%1 copies are lost").arg(lost);
        printLine(QStringLiteral("Failed to save clipboard history at quit, %1: %2")
                      .arg(what, m_saveError));
    }
    return *m_finished;
}

QString ClipboardStore::defaultHistoryFilePath()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QLatin1String("/.local/share");
    return base + QLatin1String("/quillmark/ClipboardHistory/clipboard-history.json");
}

// ---- Loading ----------------------------------------------------------------

QString ClipboardStore::readHistoryFile(const QString &path, QList<ClipboardItem> &items,
                                        HistoryCodec::Layout *layout, int *descriptor)
{
    QString error;
    HistoryCodec::Layout fileLayout;
    // Mapped, not read (see MappedFile). A file cut short by another
    // program while it was decoded is decoded once more, as it now is.
    for (int attempt = 1;; ++attempt) {
        MappedFile file;
        QList<ClipboardItem> decoded;
        error = file.open(path);
        const bool ok =
            error.isEmpty() && HistoryCodec::decode(
                                   file.bytes(), decoded, error,
                                   [&file](qsizetype consumed) { file.releaseFront(consumed); },
                                   layout ? &fileLayout : nullptr);
        const int fd = file.takeDescriptor();
        if (!file.wasCutShort()) {
            if (ok) {
                items = std::move(decoded);
                if (layout)
                    *layout = std::move(fileLayout);
                if (descriptor)
                    *descriptor = fd;
                else if (fd >= 0)
                    ::close(fd);
                return {};
            }
            if (fd >= 0)
                ::close(fd);
            return error;
        }
        if (fd >= 0)
            ::close(fd);
        fileLayout = HistoryCodec::Layout{};
        if (attempt == 2)
            return QStringLiteral("it changed while it was read");
    }
}

bool ClipboardStore::loadItems()
{
    // A dangling link counts as no history yet: the first save creates the
    // file it points to.
    if (!QFileInfo::exists(m_filePath))
        return false;
    QList<ClipboardItem> loaded;
    HistoryCodec::Layout layout;
    int fd = -1;
    if (const QString error = readHistoryFile(m_filePath, loaded, &layout, &fd); !error.isEmpty()) {
        // Start empty, but keep what was there: the save that follows would
        // otherwise replace the only copy of the user's history. A pipe or a
        // device at the path is never opened, only moved aside.
        qCWarning(lcStore) << "Cannot load clipboard history:" << error;
        moveAsideUnreadable();
        return false;
    }
    const bool reordered = sortNewestFirst(loaded);
    m_items = std::move(loaded);
    m_days = LocalDays::of(m_items);
    m_serials = newSerials(m_items.size());
    // The file holds them, in whatever form.
    m_savedNewestSerial = m_serials.isEmpty() ? 0 : m_serials.first();
    // In order now: the last item is the oldest.
    m_oldestMsecs =
        m_items.isEmpty() ? kNoItems : m_items.constLast().createdAt.toMSecsSinceEpoch();
    if (!layout.canonical || reordered) {
        ::close(fd);
        return false;
    }
    keepPrivate(fd, m_filePath);
    m_writer->adopt(fd, m_serials, std::move(layout.elementEnds));
    return true;
}

void ClipboardStore::moveAsideUnreadable()
{
    const QString aside = RegularFile::moveAside(m_filePath, m_clock.now());
    if (aside.isEmpty()) {
        qCWarning(lcStore) << "Cannot move the unreadable clipboard history aside";
        return;
    }
    printLine(unreadableMessage() + QStringLiteral("; moved it aside to: ") +
              QDir::toNativeSeparators(aside));
}

// ---- Capture ----------------------------------------------------------------

void ClipboardStore::startMonitoring()
{
    if (m_timer)
        return;
    // A plain QTimer fires in every event loop of this thread, nested ones
    // (modal dialogs, menus) included. Each tick only queues the poll, so
    // polls never overlap and a destroyed store gets none.
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, [this] {
        QMetaObject::invokeMethod(this, &ClipboardStore::pollPasteboard, Qt::QueuedConnection);
    });
    m_ticks.start();
    scheduleTick(0);
}

void ClipboardStore::setPollInterval(int msecs)
{
    m_pollIntervalMsecs = msecs;
    if (m_timer) {
        m_timer->stop();
        m_ticks.start();
        scheduleTick(0);
    }
}

// The ticks keep one beat, every poll interval since monitoring started,
// but the timer wakes the process only for a tick that can find something
// to do: one after the clipboard changed (the pasteboard says so), one at
// which an item has passed its cutoff, or one at which retention looks at
// the clocks again (each clock minute, and when a jump stops counting). An
// idle process that wakes at every tick spends far more in waking up than
// in the poll.
void ClipboardStore::scheduleTick(qint64 quietMsecs)
{
    if (!m_timer)
        return;
    const qint64 now = m_ticks.elapsed();
    const qint64 interval = m_pollIntervalMsecs;
    const qint64 tick = std::max(now / interval + 1, (now + quietMsecs + interval - 1) / interval);
    const qint64 delay = tick * interval - now;
    if (m_timer->isActive() && m_timer->remainingTime() <= delay)
        return;
    m_timer->start(int(std::min<qint64>(delay, std::numeric_limits<int>::max())));
}

// How long after the last poll nothing can expire, nor the cutoff move on
// to another minute, nor a clock jump stop counting; none at all while a
// failed save waits to be tried again.
qint64 ClipboardStore::quietMsecs() const
{
    if (m_saveFailed || !m_cutoff)
        return 0;
    const qint64 now = m_lastWallMsecs - m_wallAheadMsecs;
    qint64 quiet = m_cutoff->from + 60'000 - now;
    if (m_oldestMsecs != kNoItems)
        quiet = std::min(quiet, m_oldestMsecs - (now - m_cutoff->distance) + 1);
    if (m_wallAheadMsecs > 0)
        quiet = std::min(quiet, m_jumpedAtElapsed + kClocksAgreeMsecs - m_lastElapsedMsecs);
    return std::max<qint64>(quiet, 0);
}

bool ClipboardStore::sortNewestFirst(QList<ClipboardItem> &items)
{
    // A file Quillmark wrote is already in order: that is checked first,
    // with one look at each item and nothing built.
    qint64 previous = std::numeric_limits<qint64>::max();
    const auto newerThanPrevious = [&previous](const ClipboardItem &item) {
        const qint64 ms = item.createdAt.toMSecsSinceEpoch();
        return std::exchange(previous, ms) < ms;
    };
    if (std::none_of(items.cbegin(), items.cend(), newerThanPrevious))
        return false;
    QList<qint64> msecs;
    msecs.reserve(items.size());
    for (const ClipboardItem &item : items)
        msecs.append(item.createdAt.toMSecsSinceEpoch());
    QList<qsizetype> order(items.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return msecs[a] > msecs[b]; });
    QList<ClipboardItem> sorted;
    sorted.reserve(items.size());
    for (qsizetype i : order)
        sorted.append(std::move(items[i]));
    items = std::move(sorted);
    return true;
}

void ClipboardStore::stopMonitoring()
{
    if (!m_timer)
        return;
    m_timer->stop();
    std::exchange(m_timer, nullptr)->deleteLater();
}

void ClipboardStore::pollPasteboard()
{
    // A failed save is tried again at every tick until one succeeds (space
    // freed, directory back); its failures are not printed again.
    if (m_saveFailed && m_writer->isIdle()) {
        m_saveFailed = false;
        m_writer->save(m_items, m_serials, /*quiet=*/true);
    }
    pruneExpiredItems();
    scheduleTick(quietMsecs());
    const qint64 changeCount = m_pasteboard.changeCount();
    if (changeCount == m_lastChangeCount)
        return;
    m_lastChangeCount = changeCount;
    // No text (an image, files, a secret): the change stays consumed.
    const std::optional<ItemText> text = m_pasteboard.itemTextForType();
    if (!text) {
        if (const qint64 refused = m_pasteboard.refusedTextBytes(); refused > 0)
            reportTooLarge(refused);
        return;
    }
    // The item, the last accepted text and the pasteboard's copy share one
    // UTF-8 buffer.
    handleCopiedText(*text);
}

void ClipboardStore::handleCopiedText(const ItemText &content)
{
    if (const qint64 bytes = content.utf8Size(); bytes > kMaximumCapturedTextBytes) {
        reportTooLarge(bytes);
        return;
    }
    if (content.isBlank())
        return;
    if (shouldSuppress(content))
        return;
    const QDateTime now = m_clock.now();
    m_lastAcceptedContent = content;
    m_lastAcceptedAt = now;

    Q_EMIT itemsAboutToBeInserted(0, 0);
    m_items.prepend(ClipboardItem{QUuid::createUuid(), content, now});
    m_days.prepend(LocalDays::of(now));
    m_serials.prepend(m_nextSerial++);
    m_oldestMsecs = std::min(m_oldestMsecs, now.toMSecsSinceEpoch());
    Q_EMIT itemsInserted(0, 0);

    (void)removeExpired();
    save();
}

void ClipboardStore::reportTooLarge(qint64 bytes)
{
    constexpr qint64 mebibyte = 1024 * 1024;
    printLine(QStringLiteral("Clipboard text too large to record: %1 MiB (limit %2 MiB)")
                  .arg((bytes + mebibyte - 1) / mebibyte)
                  .arg(kMaximumCapturedTextBytes / mebibyte));
}

bool ClipboardStore::shouldSuppress(const ItemText &text) const
{
    if (m_settings.captureMode() != CaptureMode::suppressConsecutiveDuplicates)
        return false;
    const qint64 window = suppressionWindowMsecs(m_settings.duplicateSuppressionWindow());
    if (window == 0)
        return false;
    const QDateTime now = m_clock.now();
    if (!m_lastAcceptedContent || !m_lastAcceptedAt)
        return false;
    if (!canonicallyEqual(*m_lastAcceptedContent, text))
        return false;
    // Negative when the clock was set back: still inside the window.
    return m_lastAcceptedAt->msecsTo(now) < window;
}

// ---- History operations -----------------------------------------------------

void ClipboardStore::pruneExpiredItems()
{
    if (removeExpired())
        save();
}

bool ClipboardStore::removeExpired()
{
    const std::optional<qint64> cutoff = cutoffMsecs(retentionNow());
    // The common tick: nothing held is old enough, decided without a scan.
    if (!cutoff || m_oldestMsecs >= *cutoff)
        return false;
    return removeRowsWhere(
        [&](qsizetype row) { return m_items[row].createdAt.toMSecsSinceEpoch() < *cutoff; });
}

void ClipboardStore::onRetentionPeriodChanged()
{
    (void)removeExpired();
    save();
    scheduleTick(quietMsecs());
}

void ClipboardStore::clearToday()
{
    const QDate today = LocalDays::of(m_clock.now());
    (void)removeRowsWhere([&](qsizetype row) { return m_days[row] == today; });
    save();
}

void ClipboardStore::clearAll()
{
    resetItems({});
    save();
}

void ClipboardStore::save()
{
    m_writer->save(m_items, m_serials);
}

void ClipboardStore::waitForSaves()
{
    m_writer->waitForIdle();
}

qint64 ClipboardStore::filesWritten() const
{
    return m_writer->filesWritten();
}

void ClipboardStore::onSaved(const QString &error, bool reported, qint64 newestSerial)
{
    m_saveFailed = !error.isEmpty();
    m_saveError = error;
    if (m_saveFailed)
        scheduleTick(0);
    if (!m_saveFailed) {
        m_savedNewestSerial = newestSerial;
        Q_EMIT historySaved();
    } else if (reported)
        printLine(QStringLiteral("Failed to save clipboard history: ") + error);
}

template <typename Predicate> bool ClipboardStore::removeRowsWhere(Predicate shouldRemove)
{
    QList<std::pair<qsizetype, qsizetype>> ranges; // ascending, inclusive
    for (qsizetype row = 0; row < m_items.size(); ++row) {
        if (!shouldRemove(row))
            continue;
        if (!ranges.isEmpty() && ranges.back().second == row - 1)
            ranges.back().second = row;
        else
            ranges.append({row, row});
    }
    if (ranges.isEmpty())
        return false;

    if (ranges.size() > kMaxRemovalRanges) {
        QList<ClipboardItem> kept;
        QList<qint64> keptSerials;
        kept.reserve(m_items.size());
        keptSerials.reserve(m_items.size());
        auto keep = [&](qsizetype row) {
            kept.append(m_items[row]);
            keptSerials.append(m_serials[row]);
        };
        qsizetype next = 0;
        for (const auto &[first, last] : ranges) {
            for (; next < first; ++next)
                keep(next);
            next = last + 1;
        }
        for (; next < m_items.size(); ++next)
            keep(next);
        resetItems(std::move(kept), std::move(keptSerials));
        return true;
    }

    // Highest range first, so the rows named by each signal are still valid.
    for (auto it = ranges.crbegin(); it != ranges.crend(); ++it) {
        const int first = int(it->first);
        const int last = int(it->second);
        Q_EMIT itemsAboutToBeRemoved(first, last);
        m_items.remove(first, last - first + 1);
        m_days.remove(first, last - first + 1);
        m_serials.remove(first, last - first + 1);
        Q_EMIT itemsRemoved(first, last);
    }
    recomputeOldest();
    return true;
}

void ClipboardStore::resetItems(QList<ClipboardItem> items, QList<qint64> serials)
{
    Q_EMIT itemsAboutToBeReset();
    m_items = std::move(items);
    m_days = LocalDays::of(m_items);
    m_serials = serials.size() == m_items.size() ? std::move(serials) : newSerials(m_items.size());
    recomputeOldest();
    Q_EMIT itemsReset();
    // Another list (an import) may hold items that expire sooner.
    scheduleTick(quietMsecs());
}

// Local-time arithmetic is the dear part of an idle tick (and makes the C
// library look at the time-zone file each time). The distance from now back
// to the cutoff changes only when a zone transition passes one end or the
// other, and transitions fall on whole minutes; so it is worked out once per
// minute of the clock (again when the clock goes back or the period
// changes) and subtracted in between.
std::optional<qint64> ClipboardStore::cutoffMsecs(const QDateTime &now)
{
    const qint64 nowMsecs = now.toMSecsSinceEpoch();
    const RetentionPeriod period = m_settings.retentionPeriod();
    if (!m_cutoff || m_cutoff->period != period || nowMsecs < m_cutoff->from ||
        nowMsecs >= m_cutoff->from + 60'000) {
        const std::optional<qint64> cutoff = retentionCutoffMsecs(now, period);
        if (!cutoff) {
            m_cutoff.reset();
            return std::nullopt;
        }
        const qint64 minuteStart = nowMsecs - ((nowMsecs % 60'000) + 60'000) % 60'000;
        m_cutoff = CutoffDistance{period, minuteStart, nowMsecs - *cutoff};
    }
    return nowMsecs - m_cutoff->distance;
}

// A wall clock set ahead (by hand, by a time server gone wrong, after a
// flat clock battery) would have retention drop at once, and save, all the
// days it skipped, and setting it right again brings nothing back. So once
// the wall clock has moved further than the time really elapsed, retention
// goes by the time before the jump, moved on by the time elapsed, until the
// two clocks have agreed for ten minutes; a mistake put right by then costs
// nothing. Time really passing, and a start (which has nothing to compare
// with), prune as ever.
QDateTime ClipboardStore::retentionNow()
{
    const QDateTime now = m_clock.now();
    const qint64 wall = now.toMSecsSinceEpoch();
    const qint64 elapsed = m_clock.elapsedMSecs();
    const qint64 ahead = (wall - m_lastWallMsecs) - (elapsed - m_lastElapsedMsecs);
    m_lastWallMsecs = wall;
    m_lastElapsedMsecs = elapsed;
    if (ahead > kClockJumpMsecs) {
        m_wallAheadMsecs += ahead;
        m_jumpedAtElapsed = elapsed;
        qCInfo(lcStore) << "The clock jumped ahead by" << ahead / 1000
                        << "s; retention keeps to the time elapsed for a while";
    } else if (ahead < -kClockJumpMsecs) {
        m_wallAheadMsecs = std::max<qint64>(0, m_wallAheadMsecs + ahead);
    }
    if (m_wallAheadMsecs > 0 && elapsed - m_jumpedAtElapsed >= kClocksAgreeMsecs)
        m_wallAheadMsecs = 0;
    return now.addMSecs(-m_wallAheadMsecs);
}

QList<qint64> ClipboardStore::newSerials(qsizetype count)
{
    // Highest first, like captures, which take ever higher ones at the front.
    QList<qint64> serials(count);
    std::generate(serials.rbegin(), serials.rend(), [this] { return m_nextSerial++; });
    return serials;
}

void ClipboardStore::recomputeOldest()
{
    m_oldestMsecs = kNoItems;
    for (const ClipboardItem &item : std::as_const(m_items))
        m_oldestMsecs = std::min(m_oldestMsecs, item.createdAt.toMSecsSinceEpoch());
}

// ---- Day queries ------------------------------------------------------------

QList<QDate> ClipboardStore::availableDays() const
{
    QList<QDate> days;
    for (const QDate &day : m_days)
        if (days.isEmpty() || days.back() != day)
            days.append(day);
    // Already newest first unless the clock was set back at some point.
    if (!std::is_sorted(days.cbegin(), days.cend(), std::greater<>())) {
        std::sort(days.begin(), days.end(), std::greater<>());
        days.erase(std::unique(days.begin(), days.end()), days.end());
    }
    return days;
}

QList<int> ClipboardStore::rowsForDay(QDate day) const
{
    QList<int> rows;
    for (qsizetype row = 0; row < m_days.size(); ++row)
        if (m_days[row] == day)
            rows.append(int(row));
    auto newerFirst = [this](int a, int b) { return m_items[a].createdAt > m_items[b].createdAt; };
    if (!std::is_sorted(rows.cbegin(), rows.cend(), newerFirst))
        std::stable_sort(rows.begin(), rows.end(), newerFirst);
    return rows;
}

QList<ClipboardItem> ClipboardStore::itemsForDay(QDate day) const
{
    const QList<int> rows = rowsForDay(day);
    QList<ClipboardItem> items;
    items.reserve(rows.size());
    for (int row : rows)
        items.append(m_items[row]);
    return items;
}

// ---- Backup -----------------------------------------------------------------

QString ClipboardStore::exportHistory(const QString &path) const
{
    return writeHistoryFile(path);
}

QString ClipboardStore::writeHistoryFile(const QString &path) const
{
    // Encoded straight into the file: a history of many megabytes is never
    // held a second time in memory.
    return AtomicFile::write(
        path, [this](const AtomicFile::Put &put) { return HistoryCodec::encode(m_items, put); });
}

QString ClipboardStore::importHistory(const QString &path)
{
    // Only a regular file: a device or a pipe could feed us forever.
    QByteArray bytes;
    if (QString error = RegularFile::read(path, bytes); !error.isEmpty())
        return error;
    QList<ClipboardItem> list;
    QString error;
    if (!HistoryCodec::decode(bytes, list, error, [&bytes](qsizetype consumed) {
            RegularFile::releaseFront(bytes, consumed);
        }))
        return error;
    bytes = {};
    replaceAll(std::move(list));
    return {};
}

void ClipboardStore::replaceAll(QList<ClipboardItem> list)
{
    (void)sortNewestFirst(list);
    // Expired items are dropped before the views see the new list; the
    // capture state (last change count, last accepted copy) is untouched.
    if (const auto cutoff = cutoffMsecs(retentionNow()))
        list.removeIf([&](const ClipboardItem &item) {
            return item.createdAt.toMSecsSinceEpoch() < *cutoff;
        });
    resetItems(std::move(list));
    save();
}
