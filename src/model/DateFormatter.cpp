// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "DateFormatter.h"

#include <QLocale>

QString DateFormatter::format(const QDateTime &instant) const
{
    if (!instant.isValid())
        return {};
    return QLocale::c().toString(instant.toLocalTime(), m_format);
}

const DateFormatter &timestampFormatter()
{
    static const DateFormatter formatter(QStringLiteral("dd/MMM/yyyy hh:mm:ss AP"));
    return formatter;
}

const DateFormatter &timeFormatter()
{
    static const DateFormatter formatter(QStringLiteral("hh:mm AP"));
    return formatter;
}
