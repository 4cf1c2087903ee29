// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QRandomGenerator>
#include <QString>

// Up to `maxLength` pieces drawn from `alphabet` (single letters or longer
// sequences), for property tests of matching and folding.
inline QString randomText(QRandomGenerator &random, const QList<QString> &alphabet, int maxLength)
{
    QString text;
    const int length = random.bounded(maxLength + 1);
    for (int i = 0; i < length; ++i)
        text += alphabet.at(random.bounded(int(alphabet.size())));
    return text;
}
