// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "HistorySearch.h"

#include "ClipboardStore.h"
#include "HistoryIndex.h"

#include <QLocale>

#include <algorithm>

HistorySearch::HistorySearch(const HistoryIndex &index) : m_index(index) {}

void HistorySearch::setText(const QString &text)
{
    m_text = text;
    m_matcher = TextMatcher(text);
    m_queryUtf8 = m_matcher.query().toUtf8();
}

bool HistorySearch::itemMatches(int row) const
{
    return m_index.matches(row, m_queryUtf8);
}

bool HistorySearch::titleMatches(QDate day) const
{
    auto it = m_foldedTitles.constFind(day);
    if (it == m_foldedTitles.constEnd())
        it = m_foldedTitles.insert(day, TextMatcher::fold(dayTitle(day)));
    return m_matcher.matchesFolded(*it);
}

QList<int> HistorySearch::matchingRows(QDate day) const
{
    return m_index.matchingRows(day, m_queryUtf8);
}

QList<QDate> HistorySearch::visibleDays()
{
    const QList<QDate> all = m_index.days();
    if (m_matcher.isEmpty())
        return all;
    auto known = m_itemMatchDays.constFind(m_matcher.query());
    if (known == m_itemMatchDays.constEnd()) {
        // Narrow from the smallest answer to a query this one contains.
        const QSet<QDate> *candidates = nullptr;
        for (auto it = m_itemMatchDays.cbegin(); it != m_itemMatchDays.cend(); ++it)
            if (TextMatcher::containsWhole(m_matcher.query(), it.key()) &&
                (!candidates || it->size() < candidates->size()))
                candidates = &it.value();
        QSet<QDate> days;
        for (QDate day : all)
            if ((!candidates || candidates->contains(day)) && m_index.anyMatch(day, m_queryUtf8))
                days.insert(day);
        if (m_itemMatchDays.size() >= 64)
            m_itemMatchDays.clear();
        known = m_itemMatchDays.insert(m_matcher.query(), std::move(days));
    }
    QList<QDate> visible;
    for (QDate day : all)
        if (known->contains(day) || titleMatches(day))
            visible.append(day);
    return visible;
}

void HistorySearch::itemInserted(int row)
{
    const QDate day = m_index.store().dayOfItem(row);
    for (auto it = m_itemMatchDays.begin(); it != m_itemMatchDays.end(); ++it)
        if (m_index.matches(row, it.key().toUtf8()))
            it->insert(day);
}

QString HistorySearch::dayTitle(QDate day)
{
    return QLocale().toString(day, QStringLiteral("dd/MMMM/yyyy"));
}
