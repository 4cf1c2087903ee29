// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDateTime>

#include <optional>
#include <string_view>

// The dates of the history file, RFC 3339 date-times, to and from
// milliseconds since the epoch, with calendar arithmetic of its own (a
// QDateTime per item costs more than the rest of reading the item).
// Internal to the history codec.
namespace Rfc3339 {

// The writer's form, "2026-12-05T21:04:07Z": UTC, whole seconds.
inline constexpr qsizetype writtenLength = 20;

// Writes `createdAt` in the writer's form at `p` (room for writtenLength
// bytes); returns the end. The fraction is dropped (toward the past),
// instants outside the years 0000-9999 are clamped, and an invalid one is
// written as the epoch, so that whatever is written can be read back.
char *write(char *p, const QDateTime &createdAt);

// Any RFC 3339 date-time: "YYYY-MM-DDTHH:MM:SS", an optional fraction of
// any length (kept to the millisecond, truncated), then "Z" or an offset
// "+HH:MM" / "-HH:MM". "T" and "Z" may be lower case. Fields are range
// checked, days against their month; a leap second (":60") is refused
// because the instant type cannot hold it.
[[nodiscard]] std::optional<qint64> parse(std::u16string_view text);

// The writer's form at `p`, whose "T" and "Z" have been seen: as parse()
// reads it, or nothing.
[[nodiscard]] std::optional<qint64> readWritten(const char *p);

} // namespace Rfc3339
