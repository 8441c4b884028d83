// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The batch evaluation of a genotype workbook: one locus per row with the genotypes of the
// alleged father, the child and the mother, each row evaluated with the loaded population's
// frequencies as if it had been entered by hand. A results workbook is a genotype workbook too:
// its columns after E are ignored and computed anew.
#include <filesystem>

#include <string>

#include "automation/workbook.h"
#include "exchange/loadedresults.h"
#include "freqdb/locustable.h"
#include "results/genotyperow.h"
#include "text/numberformat.h"

namespace exchange {

// Reads the first worksheet of `path`: A1 and B1 replace the header texts of grid columns 0 and
// 1; each row of the table (tableRows in sheetcells.h: the rows above the closing lines of a
// results workbook, or of a sheet typed by hand every row down to its last locus row; blank rows
// skipped) gives a result row with column A copied unchanged (its position in the table when A
// is empty), the locus from B, the genotypes from C, D, E and columns 2..5 from EvaluateLocus;
// marks start empty. A row whose texts do not name a loaded locus and its alleles keeps its
// locus and genotypes and shows a verdict without an LR (results/genotyperow.h); the other rows
// are evaluated as usual. More than 99 rows: the first 99, with a note; rows under the closing
// lines: a note. The result lines stay empty: they belong to the rows as the workbook had them,
// not to the rows evaluated anew.
LoadedResults evaluateGenotypeWorkbook(const std::filesystem::path& path, const automation::WorkbookReader& reader,
                                       const freqdb::LocusTable& table, const text::NumberFormat& format);

// One row of a case as the genotype workbook gives it: grid row `row` takes the number, the locus,
// RowGenotypes from the three genotype cells and the outcome of results::evaluateGenotypeRow. The
// reader of genotyping exports fills its rows here too, so the same alleles give the same row.
// A non-empty `statedVerdict` (a call the source itself marks as not evaluable) is shown as the
// row's verdict, without an LR, instead of evaluating it.
void putGenotypeRow(results::ResultsGrid& grid, int row, std::string number, std::string locus,
                    const results::GenotypeCells& cells, const freqdb::LocusTable& table,
                    const text::NumberFormat& format, const std::string& statedVerdict = {});

} // namespace exchange
