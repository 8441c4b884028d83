// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The order of locus workbook names: byte-wise on the names' Windows-1251 (Cyrillic) bytes, the
// code page in which operators have always seen the locus list sorted. So digits come before
// upper-case Latin, upper-case before lower-case Latin, Latin before Cyrillic, "AB-1.xls" before
// "AB.xls" (the hyphen's byte is smaller than the dot's), and a prefix before the longer name.
//
// Names are UTF-8 in memory. A character that Windows-1251 cannot encode sorts after every
// Windows-1251 character, among its like by code point; a byte that is not valid UTF-8 sorts
// after those, by its value. The rule gives each character its own key, so the order is total
// and does not depend on the order in which the file system lists the names.
#include <cstdint>
#include <string_view>
#include <vector>

namespace freqdb {

// One key per character: its Windows-1251 byte (0..255), else 0x100 + code point, else
// 0x110100 + byte for a byte outside valid UTF-8.
std::vector<std::uint32_t> windows1251SortKey(std::string_view utf8);

// True when `a` sorts before `b`.
bool windows1251Less(std::string_view a, std::string_view b);

} // namespace freqdb
