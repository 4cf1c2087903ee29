// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// Which of an owner's offered types capture reads, and how, on every
// backend: the plain text in the best encoding offered, and the hint with
// which password managers mark a copy that must not be kept.
namespace ClipboardFormats {

// Offered beside the text by password managers (KeePassXC, KDE's own);
// the value "secret" marks the copy.
inline constexpr char secretHint[] = "x-kde-passwordManagerHint";

// The text types Quillmark offers for its own copies and reads from
// others, best first.
[[nodiscard]] QList<QByteArray> textTypes();

// The best text type among `offered`, or nothing when the owner offers no
// text (an image, files).
[[nodiscard]] std::optional<QByteArray> preferredTextType(const QList<QByteArray> &offered);

// True when the hint's value marks the copy as secret.
[[nodiscard]] bool marksSecret(const QByteArray &hintValue);

// The text of `bytes` read as `type`: Latin-1 for X11's STRING, UTF-8
// for every other text type.
[[nodiscard]] QString decode(const QByteArray &type, const QByteArray &bytes);

} // namespace ClipboardFormats
