// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <optional>

// The closed sets of values behind the settings. Each enumeration lists its
// cases in declaration order (the order the settings window offers them) and
// has a raw value that is also its stored form: the day, second and line
// counts for the integer ones, the case name for the string ones.

enum class RetentionPeriod {
    oneWeek = 7,
    twoWeeks = 14,
    oneMonth = 31,
    twoMonths = 62,
    threeMonths = 93,
    sixMonths = 185,
    twelveMonths = 366
};
enum class CaptureMode { recordEveryCopy, suppressConsecutiveDuplicates };
enum class DuplicateSuppressionWindow { off = 0, five = 5, ten = 10, thirty = 30, sixty = 60 };
enum class PreviewLineCount { one = 1, three = 3, five = 5, ten = 10 };
enum class ThemeMode { system, light, dark, auroraBlue, auroraEmber, auroraGold };
enum class FontSizeChoice { small, medium, large };
enum class AccentColorChoice { yellow, neutral, red, blue };

template <typename E> struct EnumInfo;

template <> struct EnumInfo<RetentionPeriod> {
    using E = RetentionPeriod;
    static constexpr std::array cases{E::oneWeek,     E::twoWeeks,  E::oneMonth,    E::twoMonths,
                                      E::threeMonths, E::sixMonths, E::twelveMonths};
};
template <> struct EnumInfo<CaptureMode> {
    using E = CaptureMode;
    static constexpr std::array cases{E::recordEveryCopy, E::suppressConsecutiveDuplicates};
    static constexpr std::array<const char *, 2> names{"recordEveryCopy",
                                                       "suppressConsecutiveDuplicates"};
};
template <> struct EnumInfo<DuplicateSuppressionWindow> {
    using E = DuplicateSuppressionWindow;
    static constexpr std::array cases{E::off, E::five, E::ten, E::thirty, E::sixty};
};
template <> struct EnumInfo<PreviewLineCount> {
    using E = PreviewLineCount;
    static constexpr std::array cases{E::one, E::three, E::five, E::ten};
};
template <> struct EnumInfo<ThemeMode> {
    using E = ThemeMode;
    static constexpr std::array cases{E::system,     E::light,       E::dark,
                                      E::auroraBlue, E::auroraEmber, E::auroraGold};
    static constexpr std::array<const char *, 6> names{"system",     "light",       "dark",
                                                       "auroraBlue", "auroraEmber", "auroraGold"};
};
template <> struct EnumInfo<FontSizeChoice> {
    using E = FontSizeChoice;
    static constexpr std::array cases{E::small, E::medium, E::large};
    static constexpr std::array<const char *, 3> names{"small", "medium", "large"};
};
template <> struct EnumInfo<AccentColorChoice> {
    using E = AccentColorChoice;
    static constexpr std::array cases{E::yellow, E::neutral, E::red, E::blue};
    static constexpr std::array<const char *, 4> names{"yellow", "neutral", "red", "blue"};
};

// Whether the raw value of E is a string (otherwise it is an integer).
template <typename E>
concept StringRawEnum = requires
{
    EnumInfo<E>::names;
};

template <typename E> constexpr auto allCases()
{
    return EnumInfo<E>::cases;
}

template <typename E> constexpr std::size_t caseIndex(E value)
{
    const auto &cases = EnumInfo<E>::cases;
    for (std::size_t i = 0; i < cases.size(); ++i)
        if (cases[i] == value)
            return i;
    return 0;
}

// Integer raw values: the count the case stands for.
template <typename E>
requires(!StringRawEnum<E>) constexpr int rawValue(E value)
{
    return static_cast<int>(value);
}

// String raw values: the case name.
template <StringRawEnum E> QString rawValue(E value)
{
    return QString::fromLatin1(EnumInfo<E>::names[caseIndex(value)]);
}

// Builds a case from its raw value; fails (nullopt) for any other value.
template <typename E>
requires(!StringRawEnum<E>) constexpr std::optional<E> fromRawValue(long long raw)
{
    for (E e : EnumInfo<E>::cases)
        if (static_cast<long long>(e) == raw)
            return e;
    return std::nullopt;
}

template <StringRawEnum E> std::optional<E> fromRawValue(const QString &raw)
{
    for (E e : EnumInfo<E>::cases)
        if (raw == QLatin1String(EnumInfo<E>::names[caseIndex(e)]))
            return e;
    return std::nullopt;
}
