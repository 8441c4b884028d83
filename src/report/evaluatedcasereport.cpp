// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluatedcasereport.h"

#include <system_error>

#include "report/casereport.h"
#include "report/reportpdf.h"

namespace report {
namespace {

// The report names folders and files as a reviewer can find them again.
std::filesystem::path fullPath(const std::filesystem::path& path)
{
    std::error_code ec;
    const auto full = std::filesystem::absolute(path, ec);
    return ec ? path : full.lexically_normal();
}

} // namespace

std::string writeEvaluatedCaseReport(const std::filesystem::path& path, const archive::EvaluatedCase& evaluated)
{
    CaseInputs inputs;
    inputs.grid = evaluated.grid;
    inputs.cpiLine = evaluated.cpiLine;
    inputs.probabilityLine = evaluated.probabilityLine;
    inputs.population = evaluated.table->population();
    inputs.table = evaluated.table;
    inputs.dataFolder = fullPath(evaluated.dataDir);
    inputs.source = fullPath(evaluated.source);
    const std::string now = currentDateTimeText();
    inputs.sourceLoadedAt = now; // the case's workbook is read as the report is made
    inputs.sourceSamples = evaluated.sourceSamples;
    inputs.exportLines = evaluated.exportLines;
    inputs.format = evaluated.format;
    try {
        writeReportPdf(describeCase(inputs, now), path);
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

} // namespace report
