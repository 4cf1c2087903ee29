// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SettingsLabels.h"

namespace SettingsLabels {

QString label(RetentionPeriod value)
{
    switch (value) {
    case RetentionPeriod::oneWeek:
        return QStringLiteral("1 Week");
    case RetentionPeriod::twoWeeks:
        return QStringLiteral("2 Weeks");
    case RetentionPeriod::oneMonth:
        return QStringLiteral("1 Month");
    case RetentionPeriod::twoMonths:
        return QStringLiteral("2 Months");
    case RetentionPeriod::threeMonths:
        return QStringLiteral("3 Months");
    case RetentionPeriod::sixMonths:
        return QStringLiteral("6 Months");
    case RetentionPeriod::twelveMonths:
        return QStringLiteral("1 Year");
    }
    return {};
}

QString label(CaptureMode value)
{
    switch (value) {
    case CaptureMode::recordEveryCopy:
        return QStringLiteral("Record Every Copy");
    case CaptureMode::suppressConsecutiveDuplicates:
        return QStringLiteral("Suppress Consecutive Duplicates");
    }
    return {};
}

QString label(DuplicateSuppressionWindow value)
{
    switch (value) {
    case DuplicateSuppressionWindow::off:
        return QStringLiteral("Off");
    case DuplicateSuppressionWindow::five:
        return QStringLiteral("5 Seconds");
    case DuplicateSuppressionWindow::ten:
        return QStringLiteral("10 Seconds");
    case DuplicateSuppressionWindow::thirty:
        return QStringLiteral("30 Seconds");
    case DuplicateSuppressionWindow::sixty:
        return QStringLiteral("1 Minute");
    }
    return {};
}

QString label(PreviewLineCount value)
{
    return QString::number(rawValue(value));
}

QString label(ThemeMode value)
{
    switch (value) {
    case ThemeMode::system:
        return QStringLiteral("System");
    case ThemeMode::light:
        return QStringLiteral("Light");
    case ThemeMode::dark:
        return QStringLiteral("Dark");
    case ThemeMode::auroraBlue:
        return QStringLiteral("Aurora Blue");
    case ThemeMode::auroraEmber:
        return QStringLiteral("Aurora Ember");
    case ThemeMode::auroraGold:
        return QStringLiteral("Aurora Gold");
    }
    return {};
}

QString label(FontSizeChoice value)
{
    switch (value) {
    case FontSizeChoice::small:
        return QStringLiteral("Small");
    case FontSizeChoice::medium:
        return QStringLiteral("Medium");
    case FontSizeChoice::large:
        return QStringLiteral("Large");
    }
    return {};
}

QString label(AccentColorChoice value)
{
    switch (value) {
    case AccentColorChoice::yellow:
        return QStringLiteral("Yellow");
    case AccentColorChoice::neutral:
        return QStringLiteral("Neutral");
    case AccentColorChoice::red:
        return QStringLiteral("Red");
    case AccentColorChoice::blue:
        return QStringLiteral("Blue");
    }
    return {};
}

} // namespace SettingsLabels
