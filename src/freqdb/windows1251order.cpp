// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows1251order.h"

#include <algorithm>
#include <array>
#include <optional>

namespace freqdb {
namespace {

// Code points of the bytes 0x80..0xBF of Windows-1251; 0 marks the one unassigned byte (0x98).
// 0xC0..0xFF are А..я (U+0410..U+044F) in order, 0x00..0x7F are ASCII.
constexpr std::array<char32_t, 64> kHighBytes = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

std::optional<std::uint32_t> windows1251Byte(char32_t c)
{
    if (c < 0x80)
        return c;
    if (c >= 0x0410 && c <= 0x044F)
        return 0xC0 + (c - 0x0410);
    const auto* it = std::find(kHighBytes.begin(), kHighBytes.end(), c);
    if (c != 0 && it != kHighBytes.end())
        return 0x80 + static_cast<std::uint32_t>(it - kHighBytes.begin());
    return std::nullopt;
}

// Decodes one UTF-8 character at text[pos]; returns its code point and length, or nullopt
// for a byte that does not start a valid, shortest-form sequence.
std::optional<std::pair<char32_t, std::size_t>> decode(std::string_view text, std::size_t pos)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80)
        return std::pair{char32_t(lead), std::size_t(1)};
    std::size_t length = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, c = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, c = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, c = lead & 0x07, minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (pos + length > text.size())
        return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80)
            return std::nullopt;
        c = (c << 6) | (byte(pos + i) & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return std::nullopt;
    return std::pair{c, length};
}

} // namespace

std::vector<std::uint32_t> windows1251SortKey(std::string_view utf8)
{
    std::vector<std::uint32_t> key;
    key.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        if (const auto decoded = decode(utf8, pos)) {
            const auto [c, length] = *decoded;
            key.push_back(windows1251Byte(c).value_or(0x100 + c));
            pos += length;
        } else {
            key.push_back(0x110100 + static_cast<unsigned char>(utf8[pos]));
            ++pos;
        }
    }
    return key;
}

bool windows1251Less(std::string_view a, std::string_view b)
{
    return windows1251SortKey(a) < windows1251SortKey(b);
}

} // namespace freqdb
