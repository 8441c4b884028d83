// SPDX-License-Identifier: GPL-3.0-or-later
#include "caseindex.h"

#include <vector>

#include "engine/enginetexts.h"
#include "engine/evaluatelocus.h"
#include "results/gridtexts.h"

namespace archive {

engine::CombinedIndexResult markAndCombine(results::ResultsGrid& grid, const std::string& prior,
                                           const text::NumberFormat& format)
{
    std::vector<engine::CombinedIndexRow> rows;
    for (int r = 1; r <= grid.ResultCount(); ++r) {
        if (!grid.cell(r, results::kColumnLr).empty())
            grid.setCell(r, results::kColumnMark, std::string(results::kMark));
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
