// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "HotKeyRegistrarFactory.h"

#include "NullHotKeyRegistrar.h"
#include "X11HotKeyRegistrar.h"

#include <QGuiApplication>

std::unique_ptr<HotKeyRegistrar> HotKeyRegistrarFactory::create()
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb")) {
        // Under some test setups the interface exists without a connection.
        if (auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
            if (xcb_connection_t *connection = x11->connection())
                return std::make_unique<X11HotKeyRegistrar>(connection);
    }
    return std::make_unique<NullHotKeyRegistrar>(
        QStringLiteral("no global key grab on the %1 platform").arg(platform));
}
