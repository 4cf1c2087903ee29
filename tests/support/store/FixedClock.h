// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "Clock.h"

// A clock that only moves when the test moves it. set() and advance() are
// time passing; jump() sets the wall clock alone, as a user or a bad time
// server does.
class FixedClock final : public Clock {
public:
    explicit FixedClock(QDateTime now = QDateTime(QDate(2026, 12, 5), QTime(21, 4, 7), Qt::UTC))
        : m_now(std::move(now))
    {
    }
    [[nodiscard]] QDateTime now() const override { return m_now; }
    [[nodiscard]] qint64 elapsedMSecs() const override
    {
        return m_now.toMSecsSinceEpoch() - m_jumped;
    }
    void set(const QDateTime &now) { m_now = now; }
    void advance(qint64 msecs) { m_now = m_now.addMSecs(msecs); }
    void jump(qint64 msecs)
    {
        m_now = m_now.addMSecs(msecs);
        m_jumped += msecs;
    }

private:
    QDateTime m_now;
    qint64 m_jumped = 0;
};
