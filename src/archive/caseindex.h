// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The combined index of a case evaluated without an operator: every row that has an LR marked
// and multiplied as "Перемножить" does, and the figures its summary line counts.
#include <string>

#include "engine/combinedindex.h"
#include "results/resultsgrid.h"
#include "text/numberformat.h"

namespace archive {

// Marks every row with an LR, the first of each locus only, and combines them as "Перемножить"
// does with `prior` (written with the format's separator). A later row of a locus already marked
// stays unmarked (casereservations.h names it).
engine::CombinedIndexResult markAndCombine(results::ResultsGrid& grid, const std::string& prior,
                                           const text::NumberFormat& format);

// The probability line as a run shows it: a probability without a value says so.
std::string shownProbability(const engine::CombinedIndexResult& combined);

// The rows of the table whose index the mutation model gave.
int mutationLoci(const results::ResultsGrid& grid);

} // namespace archive
