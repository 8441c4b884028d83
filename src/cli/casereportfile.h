// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The case report of an evaluated case, written as a PDF beside (or instead of) the results
// workbook: `batch --report FILE.pdf`, and any command that writes reports for many cases.
#include <filesystem>
#include <string>

#include "freqdb/locustable.h"
#include "results/resultsgrid.h"
#include "text/numberformat.h"

namespace cli {

struct EvaluatedCase {
    const freqdb::LocusTable* table = nullptr; // the loaded frequency tables
    std::filesystem::path dataDir;
    std::filesystem::path source; // the genotype workbook
    const results::ResultsGrid* grid = nullptr; // evaluated and marked
    std::string cpiLine;
    std::string probabilityLine;
    const text::NumberFormat* format = nullptr;
};

// Writes the report to `path` through a temporary file renamed over it, so a failure leaves no
// partial file. Draws on Qt's offscreen platform: no display is needed. Returns the operator
// message of a failure (naming the file), or an empty text.
std::string writeCaseReportFile(const std::filesystem::path& path, const EvaluatedCase& evaluated);

} // namespace cli
