// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "UuidText.h"

#include "JsonText.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace {

// Where each byte's two digits start in the text, past the dashes.
constexpr std::array<std::uint8_t, 16> digitStarts{0,  2,  4,  6,  9,  11, 14, 16,
                                                   19, 21, 24, 26, 28, 30, 32, 34};

// Each byte's two upper-case hex digits, copied in one go.
constexpr std::array<std::array<char, 2>, 256> hexPairs = [] {
    std::array<std::array<char, 2>, 256> table{};
    for (std::size_t b = 0; b < table.size(); ++b)
        table[b] = {JsonText::upperHex[b >> 4], JsonText::upperHex[b & 0xF]};
    return table;
}();

// Eight upper-case hex digits at `p` as a number, -1 when any is not one;
// eight at a time, for bytes below 0x80, so that adding to one byte never
// carries into the next.
[[nodiscard]] qint64 readUpperHex8(const char *p)
{
    constexpr quint64 ones = 0x0101010101010101;
    constexpr quint64 tops = ones * 0x80;
    quint64 bytes = 0;
    std::memcpy(&bytes, p, 8);
    // The top bit of each byte that is `floor` or more.
    auto atLeast = [&](unsigned floor) { return (bytes + ones * (0x80 - floor)) & tops; };
    const quint64 digits = atLeast('0') & ~atLeast('9' + 1);
    const quint64 letters = atLeast('A') & ~atLeast('F' + 1);
    if ((digits | letters) != tops)
        return -1;
    // Each byte's value, then pairs, quads and the eight put together, the
    // first character (the lowest byte) the most significant.
    quint64 value = (bytes & ones * 0x0F) + (letters >> 7) * 9;
    value = ((value << 4) | (value >> 8)) & 0x00FF00FF00FF00FF;
    value = ((value << 8) | (value >> 16)) & 0x0000FFFF0000FFFF;
    value = ((value << 16) | (value >> 32)) & 0xFFFFFFFF;
    return qint64(value);
}

} // namespace

char *UuidText::write(char *p, const QUuid &id)
{
    std::array<uchar, 16> bytes{};
    bytes[0] = static_cast<uchar>(id.data1 >> 24);
    bytes[1] = static_cast<uchar>(id.data1 >> 16);
    bytes[2] = static_cast<uchar>(id.data1 >> 8);
    bytes[3] = static_cast<uchar>(id.data1);
    bytes[4] = static_cast<uchar>(id.data2 >> 8);
    bytes[5] = static_cast<uchar>(id.data2);
    bytes[6] = static_cast<uchar>(id.data3 >> 8);
    bytes[7] = static_cast<uchar>(id.data3);
    std::memcpy(bytes.data() + 8, id.data4, 8);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        std::memcpy(p + digitStarts[i], hexPairs[bytes[i]].data(), 2);
    p[8] = p[13] = p[18] = p[23] = '-';
    return p + length;
}

std::optional<QUuid> UuidText::parse(std::u16string_view text)
{
    if (text.size() != std::size_t(length))
        return std::nullopt;
    if (text[8] != u'-' || text[13] != u'-' || text[18] != u'-' || text[23] != u'-')
        return std::nullopt;
    std::array<uchar, 16> bytes{};
    int invalid = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int high = JsonText::hexValue(text[digitStarts[i]]);
        const int low = JsonText::hexValue(text[digitStarts[i] + 1u]);
        invalid |= high | low;
        bytes[i] = static_cast<uchar>(high << 4 | low);
    }
    if (invalid < 0)
        return std::nullopt;
    return QUuid::fromRfc4122(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

std::optional<QUuid> UuidText::readWritten(const char *p)
{
    if (p[8] != '-' || p[13] != '-' || p[18] != '-' || p[23] != '-')
        return std::nullopt;
    std::array<char, 32> hex{};
    std::memcpy(hex.data(), p, 8);
    std::memcpy(hex.data() + 8, p + 9, 4);
    std::memcpy(hex.data() + 12, p + 14, 4);
    std::memcpy(hex.data() + 16, p + 19, 4);
    std::memcpy(hex.data() + 20, p + 24, 12);
    std::array<qint64, 4> words{};
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = readUpperHex8(hex.data() + 8 * i);
    if ((words[0] | words[1] | words[2] | words[3]) < 0)
        return std::nullopt;
    auto byte = [&](std::size_t word, int shift) { return uchar(words[word] >> shift); };
    return QUuid(uint(words[0]), ushort(words[1] >> 16), ushort(words[1]), byte(2, 24), byte(2, 16),
                 byte(2, 8), byte(2, 0), byte(3, 24), byte(3, 16), byte(3, 8), byte(3, 0));
}
