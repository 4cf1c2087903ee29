// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "Clock.h"

#include <memory>

class QSocketNotifier;

// The system's clocks. The kernel tells when the wall clock is set or the
// system resumes (a timer that the setting cancels), so that nothing needs
// to look at the clock over and over to notice.
class SystemClock final : public Clock {
public:
    SystemClock();
    ~SystemClock() override;
    [[nodiscard]] QDateTime now() const override;
    [[nodiscard]] qint64 elapsedMSecs() const override;
    void setWallClockListener(std::function<void()> listener) override;

private:
    void arm();
    void onCancelled();

    int m_timer = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::function<void()> m_listener;
};
