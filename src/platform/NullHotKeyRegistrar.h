// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "HotKeyRegistrar.h"

// The registrar for platforms without a global key grab (Wayland without
// XWayland, the offscreen platform): every call fails, saying why.
class NullHotKeyRegistrar final : public HotKeyRegistrar {
    Q_OBJECT
public:
    explicit NullHotKeyRegistrar(QString reason, QObject *parent = nullptr);

    [[nodiscard]] HotKeyStatus installEventHandler() override;
    void removeEventHandler() override {}
    [[nodiscard]] HotKeyStatus registerHotKey(Qt::Key key, Qt::KeyboardModifiers modifiers,
                                              HotKeyId id) override;
    void unregisterHotKey() override {}

private:
    QString m_reason;
};
