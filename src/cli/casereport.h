// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report of one evaluated case, written into the folder of `batch --report-dir`. The build
// has no report writer yet: kCaseReportWriter is null and --report-dir is refused as a usage
// error. A report library sets it to its function; the archive run then calls it for every case
// it evaluated.
#include <filesystem>
#include <string>

#include "freqdb/population.h"
#include "results/resultsgrid.h"

namespace cli {

struct CaseReport {
    std::filesystem::path genotypes; // the case's genotype workbook
    const results::ResultsGrid* grid = nullptr; // evaluated, every row with an LR marked
    std::string cpi, probability; // the two result lines
    freqdb::Population population = freqdb::Population::Unset;
};

// Writes the report of `report` into `folder`; throws std::exception with a Russian message
// naming the file when it cannot.
using CaseReportWriter = void (*)(const CaseReport& report, const std::filesystem::path& folder);

inline constexpr CaseReportWriter kCaseReportWriter = nullptr;

} // namespace cli
