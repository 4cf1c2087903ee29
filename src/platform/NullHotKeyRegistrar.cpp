// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "NullHotKeyRegistrar.h"

NullHotKeyRegistrar::NullHotKeyRegistrar(QString reason, QObject *parent)
    : HotKeyRegistrar(parent), m_reason(std::move(reason))
{
}

HotKeyStatus NullHotKeyRegistrar::installEventHandler()
{
    return {-1, m_reason};
}

HotKeyStatus NullHotKeyRegistrar::registerHotKey(Qt::Key, Qt::KeyboardModifiers, HotKeyId)
{
    return {-1, m_reason};
}
