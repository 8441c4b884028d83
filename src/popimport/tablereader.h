// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads a lab's frequency table file, recognised by its content: a workbook (.xlsx, .xls, .ods:
// its first worksheet), the XML export of a frequency database, or a delimited text (CSV, TSV,
// TXT) in UTF-8, UTF-16 or Windows-1251. Refusals throw ImportError naming the file, the line or
// cell, and the reason.
#include <filesystem>
#include <optional>
#include <string>

#include "automation/workbook.h"
#include "popimport/frequencytable.h"
#include "text/numberformat.h"

namespace popimport {

FrequencyTable readFrequencyTable(const std::filesystem::path& path, const std::optional<std::string>& origin,
                                  const automation::WorkbookReader& reader, const text::NumberFormat& format);

} // namespace popimport
