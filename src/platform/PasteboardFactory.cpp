// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "PasteboardFactory.h"

#include "ConsoleOutput.h"
#include "SystemPasteboard.h"
#include "WaylandClipboardConnection.h"
#include "X11ClipboardConnection.h"

#include <QGuiApplication>

std::unique_ptr<SystemPasteboard> PasteboardFactory::create()
{
    auto x11 = []() -> std::unique_ptr<ClipboardConnection> {
        return std::make_unique<X11ClipboardConnection>(QGuiApplication::clipboard(),
                                                        qgetenv("DISPLAY"));
    };
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return std::make_unique<SystemPasteboard>(x11());

    if (auto wayland = WaylandClipboardConnection::connectToCompositor()) {
        printLine(QStringLiteral("Clipboard: Wayland data-control"));
        return std::make_unique<SystemPasteboard>(std::move(wayland), [x11] {
            printLine(QStringLiteral("Clipboard: the Wayland connection was lost; X11 through "
                                     "XWayland from now on"));
            return x11();
        });
    }
    printLine(QStringLiteral("Clipboard: X11 through XWayland (this compositor offers no "
                             "clipboard access to background apps)"));
    return std::make_unique<SystemPasteboard>(x11());
}
