// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "SettingsEnums.h"

#include <QString>

// The words the settings window shows for each settings value, listed by
// its pickers in case order.
namespace SettingsLabels {

[[nodiscard]] QString label(RetentionPeriod value);
[[nodiscard]] QString label(CaptureMode value);
[[nodiscard]] QString label(DuplicateSuppressionWindow value);
[[nodiscard]] QString label(PreviewLineCount value);
[[nodiscard]] QString label(ThemeMode value);
[[nodiscard]] QString label(FontSizeChoice value);
[[nodiscard]] QString label(AccentColorChoice value);

} // namespace SettingsLabels
