// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "TaskbarPresenceFactory.h"

#include "X11TaskbarPresence.h"

#include <QGuiApplication>

namespace {

// Elsewhere there is nothing to hide the windows from; remember the choice.
class RememberedTaskbarPresence final : public TaskbarPresence {
public:
    void setShownInTaskbar(bool shown) override { m_shown = shown; }
    [[nodiscard]] bool isShownInTaskbar() const override { return m_shown; }

private:
    bool m_shown = true;
};

} // namespace

std::unique_ptr<TaskbarPresence> TaskbarPresenceFactory::create()
{
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
            if (xcb_connection_t *connection = x11->connection())
                return std::make_unique<X11TaskbarPresence>(connection);
        }
    }
    return std::make_unique<RememberedTaskbarPresence>();
}
