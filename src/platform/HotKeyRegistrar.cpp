// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "HotKeyRegistrar.h"

QString HotKeyStatus::toString() const
{
    QString text = QString::number(code);
    if (!note.isEmpty())
        text += QStringLiteral(" (%1)").arg(note);
    return text;
}
