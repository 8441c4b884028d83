// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The `kinship` command: a deficiency case (the alleged father untyped, his relatives typed) from
// a relatives workbook or a genotyping export, evaluated by the pedigree likelihood
// (kinship/kinshipevaluation.h), in the shape of `batch`: the table, the CPI and the probability
// as text, CSV or JSON, the results workbook and the report on request, batch's exit statuses.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/batchoptions.h"
#include "cli/command.h"
#include "freqdb/population.h"

namespace cli {

struct KinshipOptions {
    std::filesystem::path caseFile; // a relatives workbook, or an export with --child
    freqdb::Population population = freqdb::Population::Unset;
    std::optional<std::filesystem::path> dataDir;
    std::string prior = "0,5";
    OutputFormat format = OutputFormat::Text;
    std::optional<std::filesystem::path> output; // the results workbook, .xlsx
    std::optional<std::filesystem::path> report; // the report, .pdf
    std::optional<std::string> mutation, minFrequency, theta;
    // The case is an export: the child's sample, the mother's, and "ROLE=SAMPLE" of the others.
    std::optional<std::string> child, mother;
    std::vector<std::string> persons;
};

Command addKinshipCommand(CLI::App& program);

int runKinship(const KinshipOptions& options, std::ostream& out, std::ostream& err);

} // namespace cli
