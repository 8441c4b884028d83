// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The checks of the options every command reads with one meaning: --population and --data.
// Each returns the usage error in Russian, or empty when the option holds.
#include <filesystem>
#include <optional>
#include <string>

#include "freqdb/population.h"

namespace CLI {
class App;
}

namespace cli {

// --population is required: rus, white or black.
std::string checkPopulation(const CLI::App& app, const std::string& code, freqdb::Population& population);

// --data is optional; when given, a folder name that is not empty.
std::string checkDataFolder(const CLI::App& app, const std::string& folder,
                            std::optional<std::filesystem::path>& dataDir);

} // namespace cli
