// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SystemClock.h"

#include <QSocketNotifier>

#include <cstdint>
#include <ctime>
#include <limits>

#include <sys/timerfd.h>
#include <unistd.h>

SystemClock::SystemClock() = default;

SystemClock::~SystemClock()
{
    m_notifier.reset();
    if (m_timer >= 0)
        ::close(m_timer);
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTimeUtc();
}

qint64 SystemClock::elapsedMSecs() const
{
    timespec ts{};
    ::clock_gettime(CLOCK_BOOTTIME, &ts);
    return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1'000'000;
}

void SystemClock::setWallClockListener(std::function<void()> listener)
{
    m_listener = std::move(listener);
    if (!m_listener || m_timer >= 0)
        return;
    m_timer = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_timer < 0)
        return; // no word of clock changes: retention still looks each minute
    m_notifier = std::make_unique<QSocketNotifier>(m_timer, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(),
                     [this] { onCancelled(); });
    arm();
}

// A timer far ahead on the wall clock, which the kernel cancels when the
// clock is set (resuming from suspend sets it too).
void SystemClock::arm()
{
    itimerspec far{};
    far.it_value.tv_sec = std::numeric_limits<time_t>::max() / 2;
    ::timerfd_settime(m_timer, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &far, nullptr);
}

void SystemClock::onCancelled()
{
    uint64_t expirations = 0;
    // ECANCELED: the clock was set. Either way the timer is armed again.
    (void)!::read(m_timer, &expirations, sizeof expirations);
    arm();
    if (m_listener)
        m_listener();
}
