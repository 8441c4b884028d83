// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The `validate` command's arguments, read without touching any file: the validation pack that
// draws cases from the lab's own tables and holds the program's results against an independent
// likelihood (src/validation).
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "cli/batchoptions.h"
#include "cli/command.h"
#include "freqdb/population.h"
#include "validation/validationrun.h"

namespace cli {

struct ValidateOptions {
    freqdb::Population population = freqdb::Population::Unset;
    std::optional<std::filesystem::path> dataDir; // none: the data folder is looked up
    std::size_t cases = 1000;
    std::optional<std::uint64_t> seed; // none: a new one, printed so the run can be repeated
    std::optional<std::filesystem::path> report; // the validation protocol, .pdf
    OutputFormat format = OutputFormat::Text; // text or json
    // Overrides of the lab's settings file, as for batch.
    std::optional<std::string> mutation;
    std::optional<std::string> minFrequency;
    std::optional<std::string> theta;
    bool progress = false; // "12000/100000" on err while the cases run
};

// The largest --cases.
inline constexpr std::size_t kMaxValidationCases = validation::kMaxCases;

// Adds `validate` to the program's command line.
Command addValidateCommand(CLI::App& program);

} // namespace cli
