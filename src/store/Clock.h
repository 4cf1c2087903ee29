// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDateTime>

#include <ctime>

// The source of "now" for capture times, retention and day queries.
// Calendar arithmetic uses the process's local time zone.
class Clock {
public:
    virtual ~Clock() = default;
    [[nodiscard]] virtual QDateTime now() const = 0;
    // Time elapsed since some fixed moment, suspend included, which no one
    // can set: it tells how far the wall clock ought to have moved.
    [[nodiscard]] virtual qint64 elapsedMSecs() const = 0;
};

class SystemClock final : public Clock {
public:
    [[nodiscard]] QDateTime now() const override { return QDateTime::currentDateTimeUtc(); }
    [[nodiscard]] qint64 elapsedMSecs() const override
    {
        timespec ts{};
        ::clock_gettime(CLOCK_BOOTTIME, &ts);
        return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1'000'000;
    }
};
