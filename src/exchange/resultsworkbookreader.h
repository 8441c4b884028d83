// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Loading a results workbook back into a new results table, without recomputing anything: the
// formula, frequency, LR and mark texts come back as they were stored.
#include <filesystem>

#include "automation/workbook.h"
#include "exchange/loadedresults.h"
#include "text/numberformat.h"

namespace exchange {

// Reads the first worksheet of `path` (.xlsx, .xls, .ods): row 1 replaces the header texts,
// rows 2..R-3 become result rows (columns A, B, F..J to grid columns 0..6, C..E to
// RowGenotypes). More than 99 rows: the first 99 are kept and a note gives the number left
// out. Fewer than four used rows: no rows. Numbers in cells are written with `format`.
LoadedResults loadResultsWorkbook(const std::filesystem::path& path, const automation::WorkbookReader& reader,
                                  const text::NumberFormat& format);

} // namespace exchange
