// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "CommandLineHistory.h"

#include "ClipboardItem.h"
#include "ClipboardStore.h"

#include <QFileInfo>
#include <QList>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

namespace {

void printError(std::FILE *err, const QString &line)
{
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), err);
    std::fflush(err);
}

// The history newest first, as the running Quillmark numbers it; nothing
// when the file cannot be read (said on `err`). No file is no history yet.
std::optional<QList<ClipboardItem>> readHistory(const QString &path, std::FILE *err)
{
    QList<ClipboardItem> items;
    if (!QFileInfo::exists(path))
        return items;
    if (const QString error = ClipboardStore::readHistoryFile(path, items); !error.isEmpty()) {
        printError(err, ClipboardStore::unreadableMessage() + QStringLiteral(": ") + error);
        return std::nullopt;
    }
    (void)ClipboardStore::sortNewestFirst(items);
    return items;
}

bool inRange(qint64 position, const QList<ClipboardItem> &items, std::FILE *err)
{
    if (position >= 1 && position <= items.size())
        return true;
    printError(
        err,
        items.isEmpty()
            ? QStringLiteral("quillmark: there is no item %1; the history is empty.").arg(position)
            : QStringLiteral("quillmark: there is no item %1; the history holds %2.")
                  .arg(position)
                  .arg(items.size() == 1 ? QStringLiteral("1 item")
                                         : QStringLiteral("%1 items").arg(items.size())));
    return false;
}

// A full disk or a closed pipe must not pass for a listing.
int finish(std::FILE *out, std::FILE *err)
{
    if (std::fflush(out) == 0 && !std::ferror(out))
        return 0;
    printError(err, QStringLiteral("quillmark: cannot write to standard output: %1")
                        .arg(QString::fromLocal8Bit(std::strerror(errno))));
    return 1;
}

} // namespace

CommandLineHistory::CommandLineHistory(QString historyFilePath) : m_path(std::move(historyFilePath))
{
}

int CommandLineHistory::list(std::FILE *out, std::FILE *err) const
{
    const std::optional<QList<ClipboardItem>> items = readHistory(m_path, err);
    if (!items)
        return 1;
    QByteArray line;
    for (qsizetype i = 0; i < items->size(); ++i) {
        line = QByteArray::number(i + 1);
        line += '\t';
        line += previewLine(items->at(i).content);
        line += '\n';
        if (std::fwrite(line.constData(), 1, size_t(line.size()), out) != size_t(line.size()))
            break;
    }
    return finish(out, err);
}

int CommandLineHistory::print(qint64 position, std::FILE *out, std::FILE *err) const
{
    const std::optional<QList<ClipboardItem>> items = readHistory(m_path, err);
    if (!items || !inRange(position, *items, err))
        return 1;
    const QByteArray &text = items->at(position - 1).content.utf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), out);
    return finish(out, err);
}

int CommandLineHistory::check(qint64 position, std::FILE *err) const
{
    const std::optional<QList<ClipboardItem>> items = readHistory(m_path, err);
    return items && inRange(position, *items, err) ? 0 : 1;
}

QByteArray CommandLineHistory::previewLine(const ItemText &text)
{
    const QByteArray &utf8 = text.utf8();
    const qsizetype size = utf8.size();
    QByteArray line;
    line.reserve(std::min<qsizetype>(size, kPreviewCharacters * 4) + 3);
    int characters = 0;
    for (qsizetype i = 0; i < size; ++characters) {
        if (characters == kPreviewCharacters) {
            line += "\u2026";
            break;
        }
        // The text is well-formed UTF-8 (the reader checks it).
        const auto lead = uchar(utf8[i]);
        qsizetype length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (lead == '\r' && i + 1 < size && utf8[i + 1] == '\n')
            length = 2;
        length = std::min(length, size - i);
        const QByteArrayView character(utf8.constData() + i, length);
        // C0 and C1 controls, DEL, and the Unicode line and paragraph
        // separators: none may break the line or reach a terminal as a code.
        const bool control = lead < 0x20 || lead == 0x7F ||
                             (lead == 0xC2 && length == 2 && uchar(character[1]) < 0xA0) ||
                             character == "\u2028" || character == "\u2029";
        if (control)
            line += ' ';
        else
            line += character;
        i += length;
    }
    return line;
}
