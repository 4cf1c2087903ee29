// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ClipboardFormats.h"

namespace ClipboardFormats {

QList<QByteArray> textTypes()
{
    return {"text/plain;charset=utf-8", "text/plain", "UTF8_STRING", "TEXT", "STRING"};
}

std::optional<QByteArray> preferredTextType(const QList<QByteArray> &offered)
{
    for (const QByteArray &type : textTypes()) {
        if (offered.contains(type))
            return type;
    }
    return std::nullopt;
}

bool marksSecret(const QByteArray &hintValue)
{
    return hintValue.trimmed() == "secret";
}

QString decode(const QByteArray &type, const QByteArray &bytes)
{
    if (type == "STRING")
        return QString::fromLatin1(bytes);
    return QString::fromUtf8(bytes);
}

} // namespace ClipboardFormats
