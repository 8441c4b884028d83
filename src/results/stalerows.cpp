// SPDX-License-Identifier: GPL-3.0-or-later
#include "stalerows.h"

#include "results/genotyperow.h"
#include "results/gridtexts.h"

namespace results {

std::vector<int> rowsNotFromTables(const freqdb::LocusTable& table, const ResultsGrid& grid,
                                   const text::NumberFormat& format)
{
    std::vector<int> stale;
    for (int r = 1; r <= grid.ResultCount(); ++r) {
        const engine::LocusOutcome now
            = evaluateGenotypeRow(table, grid.cell(r, kColumnLocus), grid.RowGenotypes(r), format);
        if (grid.cell(r, kColumnFormula) != now.formula || grid.cell(r, kColumnLr) != now.lr
            || grid.cell(r, kColumnFrequency1) != now.frequency1.value_or(std::string())
            || grid.cell(r, kColumnFrequency2) != now.frequency2.value_or(std::string()))
            stale.push_back(r);
    }
    return stale;
}

} // namespace results
