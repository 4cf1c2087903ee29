// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "DisplaySession.h"

#include "ConsoleOutput.h"

#include <cstdio>
#include <cstdlib>

#include <xcb/xcb.h>

namespace {

// Only the display platforms need a display; offscreen, minimal or vnc
// are the user's explicit choice and Qt handles them.
bool needsDisplay(const QString &platform)
{
    return platform.isEmpty() || platform.startsWith(QLatin1String("xcb")) ||
           platform.startsWith(QLatin1String("wayland"));
}

} // namespace

bool DisplaySession::isWaylandSession(const QProcessEnvironment &environment)
{
    return !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty() ||
           environment.value(QStringLiteral("XDG_SESSION_TYPE")) == QLatin1String("wayland");
}

DisplaySession::Decision DisplaySession::decide(const QProcessEnvironment &environment)
{
    Decision decision;
    QString platform = environment.value(QStringLiteral("QT_QPA_PLATFORM"));
    const bool hasX11 = !environment.value(QStringLiteral("DISPLAY")).isEmpty();

    if (platform.isEmpty() && isWaylandSession(environment)) {
        decision.useXcb = true;
        decision.notice = QStringLiteral("Quillmark uses X11 through XWayland in this Wayland "
                                         "session.");
        platform = QStringLiteral("xcb");
    }
    if (!needsDisplay(platform))
        return decision;

    if (!hasX11 && environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty()) {
        decision.error = QStringLiteral("Quillmark needs a graphical session: neither DISPLAY "
                                        "nor WAYLAND_DISPLAY is set.");
    } else if (!hasX11 && platform.startsWith(QLatin1String("xcb"))) {
        decision.error = QStringLiteral("Quillmark needs X11, but this Wayland session offers no "
                                        "XWayland (DISPLAY is not set).");
    }
    return decision;
}

DisplaySession::~DisplaySession()
{
    if (m_probe != nullptr)
        xcb_disconnect(m_probe);
}

bool DisplaySession::prepare()
{
    const Decision decision = decide(QProcessEnvironment::systemEnvironment());
    if (!decision.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", decision.error.toLocal8Bit().constData());
        return false;
    }
    if (decision.useXcb)
        qputenv("QT_QPA_PLATFORM", "xcb");
    m_notice = decision.notice;

    // Qt aborts with a core dump when the X server cannot be reached; say
    // why and stop cleanly instead.
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform.startsWith(QLatin1String("xcb"))) {
        const QByteArray display = qgetenv("DISPLAY");
        if (!display.isEmpty()) {
            m_probe = xcb_connect(display.constData(), nullptr);
            if (xcb_connection_has_error(m_probe) != 0) {
                std::fprintf(stderr, "Quillmark cannot open the X display %s.\n",
                             display.constData());
                return false;
            }
        }
    }
    return true;
}

void DisplaySession::printNotice() const
{
    if (!m_notice.isEmpty())
        printLine(m_notice);
}
