// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The checks of the options the commands read with one meaning: --population and --data, and
// --mutation, --min-frequency and --theta of batch and validate. Each returns the usage error in Russian,
// or empty when the option holds.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "freqdb/population.h"

namespace CLI {
class App;
}

namespace cli {

enum class OutputFormat;

// --population is required: rus, white or black.
std::string checkPopulation(const CLI::App& app, const std::string& code, freqdb::Population& population);

// --data is optional; when given, a folder name that is not empty.
std::string checkDataFolder(const CLI::App& app, const std::string& folder,
                            std::optional<std::filesystem::path>& dataDir);

// --format of batch and kinship is optional: text, csv or json.
std::string checkOutputFormat(const CLI::App& app, const std::string& typed, OutputFormat& format);

// --prior is optional; when given, a number from 0 to 1 with a point or a comma, kept with a comma.
std::string checkPrior(const CLI::App& app, const std::string& typed, std::string& prior);

// --mutation and --min-frequency are optional; each, when given, must be a value the lab's
// settings file accepts for that setting, and is kept as typed for the run to apply.
std::string checkSettingOptions(const CLI::App& app, const std::string& mutation, const std::string& minFrequency,
                                std::optional<std::string>& mutationSetting,
                                std::optional<std::string>& minFrequencySetting);

// --theta is optional; when given, "off" or θ as the settings file accepts it, and never beside
// a --mutation that turns the mutation model on (the two are not combined).
std::string checkThetaOption(const CLI::App& app, const std::string& theta,
                             const std::optional<std::string>& mutationSetting,
                             std::optional<std::string>& thetaSetting);

// --output and --report of one case: the results workbook is always .xlsx and the report a PDF,
// so neither is put under a name that promises another format (or replaces one of the case's own
// workbooks). The usage error, or empty when the name holds.
std::string resultsWorkbookNameError(const std::string& name);
std::string reportNameError(const std::string& name);

// Whether a file name ends in `wanted` (".pdf"), in any letter case.
bool hasExtension(const std::string& name, std::string_view wanted);

} // namespace cli
