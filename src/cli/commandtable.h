// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The locus table a batch or validate run works on: the data folder (--data, or the first one
// found from the current folder), its workbooks of the population, and --mutation and
// --min-frequency over the lab's settings file.
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "automation/workbook.h"
#include "freqdb/locustable.h"
#include "freqdb/population.h"
#include "text/numberformat.h"

namespace cli {

struct CommandTable {
    std::filesystem::path dataDir;
    freqdb::LocusTable table;
};

// Loads the table. `mutation` and `minFrequency` were checked when the options were read
// (checkSettingOptions); either one makes "командная строка" a source of the settings. A folder
// not found or a table not read is told on `err` and gives nullopt.
std::optional<CommandTable> loadCommandTable(const std::optional<std::filesystem::path>& dataDir,
                                             freqdb::Population population, const std::optional<std::string>& mutation,
                                             const std::optional<std::string>& minFrequency,
                                             const automation::WorkbookReader& reader, const text::NumberFormat& format,
                                             std::ostream& err);

} // namespace cli
