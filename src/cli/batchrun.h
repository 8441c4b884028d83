// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The `batch` command: loads the locus table of the population from the data folder, evaluates
// the genotype workbook as the window's "Генотипы и рассчитать LR" does, marks every row that has
// an LR, combines them as "Перемножить" does with the prior and prints the table. Every printed
// text is the one the window would show.
#include <ostream>

#include "cli/batchoptions.h"

namespace cli {

int runBatch(const BatchOptions& options, std::ostream& out, std::ostream& err);

} // namespace cli
