// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QUuid>

#include <optional>
#include <string_view>

// The ids of the history file, 8-4-4-4-12 hex digits, to and from QUuid.
// Internal to the history codec.
namespace UuidText {

inline constexpr qsizetype length = 36;

// The writer's form, upper case, at `p` (room for `length` bytes); returns
// the end.
char *write(char *p, const QUuid &id);

// Exactly 8-4-4-4-12 hex digits, either case, no braces.
[[nodiscard]] std::optional<QUuid> parse(std::u16string_view text);

// The writer's form at `p`: upper-case hex digits and dashes, all of the
// `length` bytes below 0x80 (the caller has made sure of that).
[[nodiscard]] std::optional<QUuid> readWritten(const char *p);

} // namespace UuidText
