#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QObject>

class ClipboardStore;

// What the history browser needs to search and group the history fast: each
// item's content lower-cased once (as UTF-8, so a search is a byte search)
// and the items grouped by local day. It follows the store's change signals
// (a capture adds one entry; removals regroup without lower-casing again),
// so no keystroke ever lower-cases the history.
class HistoryIndex : public QObject {
    Q_OBJECT
public:
    explicit HistoryIndex(ClipboardStore &store, QObject *parent = nullptr);

    [[nodiscard]] ClipboardStore &store() const { return m_store; }

    // Every day holding items, newest first.
    [[nodiscard]] QList<QDate> days() const;
    [[nodiscard]] bool containsDay(QDate day) const { return findDay(day) >= 0; }
    [[nodiscard]] int itemCount(QDate day) const;
    // The store rows of `day`, newest first.
    [[nodiscard]] QList<int> rowsOfDay(QDate day) const;

    // Whether the item at `row` contains `query`, a query already trimmed,
    // lower-cased and encoded as UTF-8.
    [[nodiscard]] bool matches(int row, QByteArrayView query) const;
    // Whether any item of `day` matches; stops at the first that does.
    [[nodiscard]] bool anyMatch(QDate day, QByteArrayView query) const;
    // The rows of `day` that match, newest first.
    [[nodiscard]] QList<int> matchingRows(QDate day, QByteArrayView query) const;

Q_SIGNALS:
    // Emitted after the index has caught up with the store.
    void rowsInserted(int first, int last);
    void rowsRemoved(int first, int last);
    void reset();

private:
    struct Day {
        QDate date;
        // Items by their distance from the end of the list, which front
        // insertions do not change; newest (largest) first.
        QList<int> ordinals;
    };

    [[nodiscard]] int findDay(QDate day) const;
    [[nodiscard]] int rowOf(int ordinal) const { return int(m_lowered.size()) - 1 - ordinal; }
    void rebuild();
    void regroup();
    void insert(int first, int last);
    void remove(int first, int last);

    ClipboardStore &m_store;
    QList<QByteArray> m_lowered; // parallel to the store's items
    QList<Day> m_days;           // newest first
};
