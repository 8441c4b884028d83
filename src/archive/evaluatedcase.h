// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An evaluated case as its report needs it: what a report writer is handed for each case of a
// run, and for the command line's single report.
#include <filesystem>
#include <string>
#include <vector>

#include "freqdb/locustable.h"
#include "results/resultsgrid.h"
#include "text/numberformat.h"

namespace archive {

struct EvaluatedCase {
    const freqdb::LocusTable* table = nullptr; // the loaded frequency tables
    std::filesystem::path dataDir;
    std::filesystem::path source; // the genotype workbook
    const results::ResultsGrid* grid = nullptr; // evaluated and marked
    std::string cpiLine;
    std::string probabilityLine;
    const text::NumberFormat* format = nullptr;
    std::string sourceSamples; // the samples of a genotyping export taken for the persons
    std::vector<std::string> exportLines; // exchange::LoadedResults::exportLines of the case
};

} // namespace archive
