// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bounds on what reading one workbook may cost. A locus or genotype workbook holds a few hundred
// cells; these limits are far above that and far below what would exhaust memory or time, so a
// hostile or broken file fails with a message instead of taking the program down.
#include <cstddef>
#include <cstdint>

namespace automation::limits {

inline constexpr std::uintmax_t kFileBytes = 64u << 20; // the workbook file itself
inline constexpr std::uint64_t kEntryBytes = 100u << 20; // one decompressed zip entry
inline constexpr std::uint64_t kTotalUnzippedBytes = 100u << 20; // all entries read from one file
inline constexpr std::size_t kZipEntries = 100000;
inline constexpr std::size_t kTextBytes = 1u << 20; // one cell's text
inline constexpr std::size_t kRangeTextBytes = 64u << 20; // all texts of one used range
inline constexpr int kRangeRows = 10000;
inline constexpr int kRangeColumns = 1000;
inline constexpr std::int64_t kRangeCells = 1000000; // rows x columns of a used range
inline constexpr std::uint64_t kXlsCells = 1u << 20; // cells, and shared strings, of one .xls workbook
inline constexpr int kSheets = 4096;

// Sheet limits of the formats: 1,048,576 rows and 16,384 columns.
inline constexpr int kMaxSheetRow = 1048576;
inline constexpr int kMaxSheetColumn = 16384;

} // namespace automation::limits
