// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Saving the results table as a results workbook (layout in workbooklayout.h).
#include <filesystem>
#include <string>
#include <vector>

#include "automation/workbookwriter.h"
#include "freqdb/labsettings.h"
#include "freqdb/population.h"
#include "results/resultsgrid.h"

namespace exchange {

// Writes the block A1:K(ResultCount + 4) through `writer` and saves it to `path` (replacing the
// file atomically). cpiLine and probabilityLine are the texts of the two result fields. The
// table is only read. Throws automation::WorkbookError (a Russian reason naming the file); the
// window shows kSavedMessage after a normal return. `exportLines` (LoadedResults::exportLines)
// follow the population line, one a row, merged B:F like it. `besideBlock`, when given, is written
// as text in row 1 from kBesideBlockColumn on, apart from the block. `settings` are those the rows
// were computed with: with θ on, freqdb::kThetaNote is the last line under the block (merged B:F,
// like the lines above it), which the readers know and skip.
void saveResultsWorkbook(const std::filesystem::path& path, const results::ResultsGrid& grid,
                         const std::string& cpiLine, const std::string& probabilityLine, freqdb::Population population,
                         automation::WorkbookWriter& writer, const std::vector<std::string>& exportLines = {},
                         const std::vector<std::string>& besideBlock = {},
                         const freqdb::LabSettings* settings = nullptr);

// The name the save dialog proposes: the workbook last loaded (results or genotypes) with its
// extension changed to .xlsx, so an .xls or .ods file is never overwritten in another format;
// with none loaded, workDir/Untitled.xlsx.
std::filesystem::path proposedSaveName(const std::filesystem::path& loadedWorkbook,
                                       const std::filesystem::path& workDir);

} // namespace exchange
