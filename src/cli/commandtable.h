// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The locus table a batch or validate run works on: the data folder (--data, or the first one
// found from the current folder), its workbooks of the population, and the options that replace
// what the lab's settings file says for this run only.
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

// Loads the table. A folder not found or a table not read is told on `err` and gives nullopt.
std::optional<CommandTable> loadCommandTable(const std::optional<std::filesystem::path>& dataDir,
                                             freqdb::Population population, const automation::WorkbookReader& reader,
                                             const text::NumberFormat& format, std::ostream& err);

// Applies --mutation, --min-frequency and --theta, each checked when the options were read, over
// the table's settings; any of them makes "командная строка" a source of the settings. Returns
// the reason when the settings they leave cannot be used together (θ beside the mutation model);
// the table then holds them all the same.
std::optional<std::string> applySettingOverrides(freqdb::LocusTable& table, const std::optional<std::string>& mutation,
                                                 const std::optional<std::string>& minFrequency,
                                                 const std::optional<std::string>& theta);

} // namespace cli
