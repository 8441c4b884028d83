// SPDX-License-Identifier: GPL-3.0-or-later
#include "caseindex.h"

#include <set>
#include <vector>

#include "engine/enginetexts.h"
#include "engine/evaluatelocus.h"
#include "freqdb/locustable.h"
#include "results/gridtexts.h"
#include "text/casefold.h"

namespace archive {

engine::CombinedIndexResult markAndCombine(results::ResultsGrid& grid, const std::string& prior,
                                           const text::NumberFormat& format)
{
    std::vector<engine::CombinedIndexRow> rows;
    std::set<std::string> combinedLoci;
    for (int r = 1; r <= grid.ResultCount(); ++r) {
        // A locus typed twice (a repeat typing, a row copied twice) enters the product once: the
        // second index of the same locus would square its weight.
        const std::string locus
            = text::foldCase(std::string(freqdb::withoutBlanks(grid.cell(r, results::kColumnLocus))));
        const bool combined = !grid.cell(r, results::kColumnLr).empty() && combinedLoci.insert(locus).second;
        grid.setCell(r, results::kColumnMark, combined ? std::string(results::kMark) : std::string());
        rows.push_back({grid.cell(r, results::kColumnNumber), grid.cell(r, results::kColumnLr),
                        grid.cell(r, results::kColumnMark)});
    }
    return engine::CombineIndex(rows, prior, format);
}

std::string shownProbability(const engine::CombinedIndexResult& combined)
{
    return combined.status == engine::CombinedIndexStatus::Undefined ? std::string(engine::kUndefinedProbability)
                                                                     : combined.probabilityText;
}

int mutationLoci(const results::ResultsGrid& grid)
{
    int count = 0;
    for (int r = 1; r <= grid.ResultCount(); ++r)
        count += engine::isMutationFormula(grid.cell(r, results::kColumnFormula)) ? 1 : 0;
    return count;
}

} // namespace archive
