// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One whole case of a validation run: every locus evaluated by the program as a row of a results
// table, every row marked, and the program's combination of them ("Перемножить"), its
// probability of paternity for each of kPriors and its CPE held against computations of their
// own: the product of the LR texts as the rows show them, Bayes' rule over that product, and
// 1 - prod(1 - PE) over the powers of exclusion summed over every random man's genotype.
#include <string>
#include <vector>

#include "freqdb/locustable.h"
#include "text/numberformat.h"
#include "validation/validationrun.h"

namespace validation {

CombinedCase checkWholeCase(std::vector<DrawnCase> loci, std::string kind, const freqdb::LocusTable& table,
                            const freqdb::LabSettings& independent, const text::NumberFormat& format,
                            const ProgramComputations& program);

} // namespace validation
