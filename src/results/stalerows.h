// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Rows loaded from a results workbook keep the texts they were saved with. The rows whose texts
// the tables and settings in force would not give (the frequencies were updated or imported since,
// the mutation model, minimum frequency or θ changed) are found here, so that they are neither
// combined with new rows nor reported under settings they were not computed with.
#include <vector>

#include "freqdb/locustable.h"
#include "results/resultsgrid.h"
#include "text/numberformat.h"

namespace results {

// The numbers (1-based) of the rows whose formula, frequencies or LR differ from those the row's
// locus and genotypes give with `table`.
std::vector<int> rowsNotFromTables(const freqdb::LocusTable& table, const ResultsGrid& grid,
                                   const text::NumberFormat& format);

} // namespace results
