// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SystemClock.h"

#include <QTest>

#include <ctime>

// The kernel's word that the wall clock was set reaches the listener.
class TestSystemClock : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void settingTheClockIsHeard()
    {
        SystemClock clock;
        int heard = 0;
        clock.setWallClockListener([&heard] { ++heard; });
        // Set to the time it already shows: a step of microseconds.
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        if (::clock_settime(CLOCK_REALTIME, &now) != 0)
            QSKIP("setting the clock needs root");
        QTRY_COMPARE_WITH_TIMEOUT(heard, 1, 2000);
        // Armed again: the next setting is heard as well.
        ::clock_gettime(CLOCK_REALTIME, &now);
        QVERIFY(::clock_settime(CLOCK_REALTIME, &now) == 0);
        QTRY_COMPARE_WITH_TIMEOUT(heard, 2, 2000);
    }
};

QTEST_GUILESS_MAIN(TestSystemClock)
#include "tst_SystemClock.moc"
