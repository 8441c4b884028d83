// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Exact texts of the locus workbook loader, also used by the workbook readers of the results
// exchange, which report a failed read with the same first line.
#include <string_view>

namespace freqdb {

inline constexpr std::string_view kReadFailed = "Не могу прочитать данные в массив!";
inline constexpr std::string_view kFilesNotFound = "Files not found";

} // namespace freqdb
