// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Exact texts and column positions of the results table.
//
// Columns: 0 row number, 1 locus, 2 formula or verdict, 3 and 4 allele frequency texts, 5 LR,
// 6 the mark "++". Row 0 is the header (note the leading blanks); rows 1..99 hold results.
#include <array>
#include <string_view>

namespace results {

inline constexpr int kColumnNumber = 0;
inline constexpr int kColumnLocus = 1;
inline constexpr int kColumnFormula = 2;
inline constexpr int kColumnFrequency1 = 3;
inline constexpr int kColumnFrequency2 = 4;
inline constexpr int kColumnLr = 5;
inline constexpr int kColumnMark = 6;

inline constexpr std::array<std::string_view, 7> kHeaderTexts
    = {"№", "  Локус", " Формула", "Частота аллеля", "Частота аллеля", " LR", "Выбрать"};

inline constexpr std::string_view kMark = "++";

} // namespace results
