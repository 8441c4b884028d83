// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a read of a results or genotype workbook hands back. The window replaces its table only
// when `ok` is true, so a cancelled or failed read never touches the operator's results.
#include <string>
#include <vector>

#include "results/resultsgrid.h"

namespace exchange {

struct LoadedResults {
    bool ok = false;
    // When !ok: the operator message, freqdb::kReadFailed on the first line, then a line naming
    // the file (and the cell, where one is at fault) and the reason.
    std::string error;
    // When ok: the new table (header, rows, RowGenotypes, ResultCount 0..99).
    results::ResultsGrid grid;
    // When ok: the window caption, "Paternity Index - " + the full path.
    std::string caption;
    // When ok: remarks for the operator (rows left out, an unsplittable genotype cell).
    std::vector<std::string> notes;
};

} // namespace exchange
