// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "TaskbarPresence.h"

#include <QObject>

#include <cstdint>

class QWindow;
struct xcb_connection_t;

// Taskbar presence on X11: a window that should stay out of the taskbar and
// the pager carries _NET_WM_STATE_SKIP_TASKBAR and _NET_WM_STATE_SKIP_PAGER.
// Before a window is mapped we write the property ourselves (Qt merges its
// own states into it when it maps); on a mapped window the window manager
// owns the property, so we ask it with a client message, or write it
// directly when no window manager is running.
class X11TaskbarPresence final : public QObject, public TaskbarPresence {
    Q_OBJECT
public:
    explicit X11TaskbarPresence(xcb_connection_t *connection, QObject *parent = nullptr);
    ~X11TaskbarPresence() override;

    void setShownInTaskbar(bool shown) override;
    [[nodiscard]] bool isShownInTaskbar() const override { return m_shown; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    [[nodiscard]] static bool isManagedWindow(const QWindow *window);
    void applyToUnmapped(std::uint32_t window);
    void applyToMapped(std::uint32_t window);
    [[nodiscard]] bool windowManagerRunning() const;
    [[nodiscard]] std::uint32_t internAtom(const char *name) const;

    xcb_connection_t *m_connection;
    std::uint32_t m_root = 0;
    std::uint32_t m_netWmState = 0;
    std::uint32_t m_skipTaskbar = 0;
    std::uint32_t m_skipPager = 0;
    std::uint32_t m_supportingWmCheck = 0;
    bool m_shown = true;
};
