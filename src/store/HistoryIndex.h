// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "FoldedQuery.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QObject>
#include <QTimer>

#include <bitset>
#include <memory>

class ClipboardStore;

// What the history browser needs to search and group the history fast: each
// item's content folded once by TextMatcher (as UTF-8, so a search is a byte
// search) and the items grouped by local day. It follows the store's change
// signals (a capture adds one entry; removals regroup without folding
// again), so no keystroke ever folds the history.
//
// Grouping is done at once; folding is not, so opening the browser over a
// long history stays cheap. The texts are folded newest first, a slice at
// a time from the event loop, and the first search finishes whatever is
// left before it answers.
class HistoryIndex : public QObject {
    Q_OBJECT
public:
    explicit HistoryIndex(ClipboardStore &store, QObject *parent = nullptr);

    [[nodiscard]] ClipboardStore &store() const { return m_store; }

    // Every day holding items, newest first.
    [[nodiscard]] QList<QDate> days() const;
    [[nodiscard]] int itemCount(QDate day) const;

    // Whether the item at `row` contains `query`, a TextMatcher::query()
    // encoded as UTF-8.
    [[nodiscard]] bool matches(int row, QByteArrayView query) const;
    // Whether every item is folded yet (searches do not wait for this).
    [[nodiscard]] bool isFolded() const { return m_foldedCount == m_folded.size(); }
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
    // Which bytes and byte pairs occur in a day's texts: a query with a
    // byte or pair the day lacks cannot match there, and a one-byte query
    // is answered by the byte set alone.
    struct Presence {
        std::bitset<256> bytes;
        std::bitset<65536> pairs;
        void add(const QByteArray &text);
        [[nodiscard]] bool mayContain(QByteArrayView query) const;
    };
    struct Day {
        QDate date;
        // Items by their distance from the end of the list, which front
        // insertions do not change; newest (largest) first.
        QList<int> ordinals;
        std::shared_ptr<Presence> presence = std::make_shared<Presence>();
    };

    [[nodiscard]] const FoldedQuery &needleFor(QByteArrayView query) const;
    [[nodiscard]] int findDay(QDate day) const;
    [[nodiscard]] int rowOf(int ordinal) const { return int(m_folded.size()) - 1 - ordinal; }
    void rebuild();
    void regroup();
    // Folds the items from m_foldedCount on, up to `until` rows in all.
    void foldUntil(qsizetype until) const;
    void foldSlice();
    void ensureFolded() const { foldUntil(m_folded.size()); }
    void insert(int first, int last);
    void remove(int first, int last);

    ClipboardStore &m_store;
    // Parallel to the store's items. Rows [0, m_foldedCount) are folded and
    // counted in their day's presence; a search folds the rest first.
    mutable QList<QByteArray> m_folded;
    mutable qsizetype m_foldedCount = 0;
    QTimer *m_foldTimer;
    QList<Day> m_days; // newest first
    // The last query asked about, prepared: a scan asks for every item.
    mutable FoldedQuery m_needle;
};
