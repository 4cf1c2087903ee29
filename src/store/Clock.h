// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDateTime>

#include <functional>

// The source of "now" for capture times, retention and day queries.
// Calendar arithmetic uses the process's local time zone.
class Clock {
public:
    virtual ~Clock() = default;
    [[nodiscard]] virtual QDateTime now() const = 0;
    // Time elapsed since some fixed moment, suspend included, which no one
    // can set: it tells how far the wall clock ought to have moved.
    [[nodiscard]] virtual qint64 elapsedMSecs() const = 0;
    // `listener` is called whenever the wall clock is set or the system
    // wakes from suspend: waits measured ahead from the wall clock are off
    // then. A clock that never tells keeps it unused.
    virtual void setWallClockListener(std::function<void()> listener) { (void)listener; }
};
