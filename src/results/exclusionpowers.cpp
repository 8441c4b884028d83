// SPDX-License-Identifier: GPL-3.0-or-later
#include "exclusionpowers.h"

#include "engine/exclusionpower.h"
#include "results/genotyperow.h"

namespace results {

std::string exclusionPowerText(long double value, const text::NumberFormat& format)
{
    return format.fixed(value, 15, 4);
}

ExclusionPowers exclusionPowers(const freqdb::LocusTable& table, const ResultsGrid& grid,
                                const text::NumberFormat& format)
{
    ExclusionPowers out;
    std::vector<long double> marked;
    for (int r = 1; r <= grid.ResultCount(); ++r) {
        const auto pe = rowExclusionPower(table, grid.cell(r, kColumnLocus), grid.RowGenotypes(r));
        out.rows.push_back(pe ? exclusionPowerText(*pe, format) : std::string());
        if (pe && grid.isMarked(r))
            marked.push_back(*pe);
    }
    if (const auto cpe = engine::combinedExclusionPower(marked))
        out.combined = exclusionPowerText(*cpe, format);
    return out;
}

} // namespace results
