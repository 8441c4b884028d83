// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The arguments of the command line, parsed without touching any file.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "freqdb/population.h"

namespace cli {

enum class OutputFormat { Text, Csv, Json };

enum class Command { Batch, Help, Version };

struct BatchOptions {
    Command command = Command::Batch;
    std::filesystem::path genotypes;
    freqdb::Population population = freqdb::Population::Unset;
    std::filesystem::path dataDir = "data";
    std::string prior = "0,5";
    std::optional<std::filesystem::path> output;
    OutputFormat format = OutputFormat::Text;
    // Overrides of the lab's settings file for this run, as written: "off", "proportional:RATE";
    // "off" or a proportion. Checked when parsed.
    std::optional<std::string> mutation;
    std::optional<std::string> minFrequency;
};

struct ParsedOptions {
    std::optional<BatchOptions> options; // nullopt: a usage error, described in `error`
    std::string error;
};

// args are argv[1..]. Options take their value as the next argument or after "=".
ParsedOptions parseOptions(const std::vector<std::string>& args);

// The text of --help.
std::string usageText();

} // namespace cli
