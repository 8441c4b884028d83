// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Short texts of the locus table and the results: locus names hold at most 20 characters,
// allele labels at most 5. Texts are UTF-8 in memory; lengths count characters (code points),
// and a cut never splits a character. A byte that is not part of valid UTF-8 counts as one
// character of its own, so a cut of a damaged text still ends on a byte boundary we can show.
#include <cstddef>
#include <string>
#include <string_view>

namespace text {

inline constexpr std::size_t kMaxLocusNameChars = 20;
inline constexpr std::size_t kMaxLabelChars = 5;

// Number of characters of a UTF-8 text.
std::size_t characterCount(std::string_view utf8);

// The first maxChars characters of the text (the whole text when it is shorter).
std::string cutToCharacters(std::string_view utf8, std::size_t maxChars);

} // namespace text
