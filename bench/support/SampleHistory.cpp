// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SampleHistory.h"

#include "HistoryCodec.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringList>

QList<ClipboardItem> makeSampleHistory(int count, const QDateTime &now, int days)
{
    QRandomGenerator rng(20261205);
    const QStringList words = {
        QStringLiteral("clipboard"), QStringLiteral("Straße"),  QStringLiteral("naïve"),
        QStringLiteral("东京"),      QStringLiteral("release"), QStringLiteral("build"),
        QStringLiteral("résumé"),    QStringLiteral("quill"),   QStringLiteral("мир"),
        QStringLiteral("deploy"),    QStringLiteral("🙂"),    QStringLiteral("token")};
    QList<ClipboardItem> items;
    items.reserve(count);
    const qint64 span = qint64(days) * 86400 * 1000;
    for (int i = 0; i < count; ++i) {
        QString text;
        switch (i % 3) {
        case 0:
            text = QStringLiteral("https://example.com/projects/%1/issues/%2?tab=files&q=")
                       .arg(rng.bounded(1000))
                       .arg(i);
            while (text.size() < 280)
                text += words[rng.bounded(words.size())] + QLatin1Char('/');
            break;
        case 1:
            text = QStringLiteral("for (int i = 0; i < %1; ++i) {\n    total += values[i];\n}\n")
                       .arg(i);
            while (text.size() < 280)
                text += QStringLiteral("    // ") + words[rng.bounded(words.size())] +
                        QLatin1Char('\n');
            break;
        default:
            while (text.size() < 280)
                text += words[rng.bounded(words.size())] + QLatin1Char(' ');
            break;
        }
        const qint64 offset = span * i / qMax(1, count);
        items.append({QUuid::createUuid(), text, now.addMSecs(-offset)});
    }
    return items;
}

void writeSampleHistoryFile(const QString &path, int count, const QDateTime &now, int days)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(HistoryCodec::encode(makeSampleHistory(count, now, days))) < 0)
        qFatal("Cannot write the sample history to %s", qPrintable(path));
}
