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
// the rows above the closing lines become result rows (tableRows in sheetcells.h: blank rows
// skipped, rows under the closing lines left out with a note): columns A, B, F..J go to grid
// columns 0..6, C..E to RowGenotypes; an empty number cell gives the row's position in the
// table. The CPI and probability lines come back as cpiLine and probabilityLine when they belong
// to the rows read. More than 99 rows: the first 99 are kept, a note gives the number left out,
// and the result lines (formed from all of them) stay empty. Numbers in cells are written with
// `format`.
LoadedResults loadResultsWorkbook(const std::filesystem::path& path, const automation::WorkbookReader& reader,
                                  const text::NumberFormat& format);

// The note shown after loading a results workbook whose rows were computed with the frequencies
// of `stated` while `current` is chosen: the rows are not recomputed until "Популяция" is chosen.
std::string otherPopulationNote(freqdb::Population stated, freqdb::Population current);

} // namespace exchange
