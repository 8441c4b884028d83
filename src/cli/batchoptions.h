// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The `batch` command's arguments, read without touching any file.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command.h"
#include "freqdb/population.h"

namespace cli {

enum class OutputFormat { Text, Csv, Json };

struct BatchOptions {
    std::vector<std::filesystem::path> cases; // genotype workbooks or folders of them
    freqdb::Population population = freqdb::Population::Unset;
    std::optional<std::filesystem::path> dataDir; // none: the data folder is looked up (freqdb/datafolder.h)
    std::string prior = "0,5"; // a number from 0 to 1, with a comma
    std::optional<std::filesystem::path> output; // the results workbook of the one case
    std::optional<std::filesystem::path> outputDir; // <case name>.results.xlsx of every case
    std::optional<std::filesystem::path> reportDir; // <case name>.report.pdf of every case
    std::optional<std::filesystem::path> report; // the case report, .pdf
    OutputFormat format = OutputFormat::Text;
    // Overrides of the lab's settings file for this run, as written: "off", "proportional:RATE";
    // "off" or a proportion. Checked when parsed.
    std::optional<std::string> mutation;
    std::optional<std::string> minFrequency;
    std::optional<std::string> theta; // "off" or θ
    bool progress = false; // "12/1000" on err as the cases are evaluated
    // --father, --child [, --mother]: the case is a genotyping export and these its samples.
    std::optional<std::string> father, child, mother;
};

// Adds `batch` to the program's command line; its run evaluates the cases.
Command addBatchCommand(CLI::App& program);

// The prior as typed on the command line, with a comma or a point whatever the locale: the same
// text with `separator` in its place, or nullopt when it is no number from 0 to 1.
std::optional<std::string> priorText(std::string_view typed, const std::string& separator);

} // namespace cli
