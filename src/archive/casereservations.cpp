// SPDX-License-Identifier: GPL-3.0-or-later
#include "casereservations.h"

#include "engine/enginetexts.h"
#include "results/gridtexts.h"

namespace archive {

std::string CaseReservations::status() const
{
    std::string out;
    const auto add = [&out](const std::string& reservation) {
        out += (out.empty() ? std::string(kIncompletePrefix) : std::string("; ")) + reservation;
    };
    if (!unevaluatedRows.empty()) {
        std::string rows;
        for (const auto& row : unevaluatedRows)
            rows += (rows.empty() ? "" : ", ") + row;
        add("не рассчитано строк: " + std::to_string(unevaluatedRows.size()) + " (" + rows + ")");
    }
    if (!repeatedLoci.empty()) {
        std::string rows;
        for (const auto& row : repeatedLoci)
            rows += (rows.empty() ? "" : ", ") + row;
        add("локус повторен, строка не вошла в CPI: " + rows);
    }
    if (rowsLeftOut > 0)
        add("не загружено строк сверх 99: " + std::to_string(rowsLeftOut));
    if (probabilityUndefined)
        add(std::string(engine::kUndefinedProbability));
    return out;
}

CaseReservations reservationsOf(const exchange::LoadedResults& evaluated, const engine::CombinedIndexResult& combined)
{
    CaseReservations out;
    const results::ResultsGrid& grid = evaluated.grid;
    for (int r = 1; r <= grid.ResultCount(); ++r) {
        const std::string& verdict = grid.cell(r, results::kColumnFormula);
        if (grid.cell(r, results::kColumnLr).empty())
            out.unevaluatedRows.push_back("№" + grid.cell(r, results::kColumnNumber) + " «" + verdict + "»");
        else if (!grid.cell(r, results::kColumnLr).empty() && !grid.isMarked(r))
            out.repeatedLoci.push_back("№" + grid.cell(r, results::kColumnNumber) + " «"
                                       + grid.cell(r, results::kColumnLocus) + "»");
    }
    out.rowsLeftOut = evaluated.rowsLeftOut;
    out.probabilityUndefined = combined.status == engine::CombinedIndexStatus::Undefined;
    return out;
}

} // namespace archive
