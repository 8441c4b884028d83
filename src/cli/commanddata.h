// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>

#include "freqdb/datafolder.h"
#include "freqdb/locusloader.h"

namespace cli {

// The data folder a command works on and the population's tables loaded from it.
struct CommandData {
    freqdb::DataFolder data;
    freqdb::LoadResult loaded;
};

// Takes `--data` or finds the data folder as the window does, and loads the population's tables.
// Every note (places passed over, loci left out, updated installed tables) goes to `err`; so does
// the reason when nothing could be loaded, and then the result is empty (exit status 1).
std::optional<CommandData> loadCommandData(const std::optional<std::filesystem::path>& dataDir,
                                           freqdb::Population population, const automation::WorkbookReader& reader,
                                           const text::NumberFormat& format, std::ostream& err);

} // namespace cli
