// SPDX-License-Identifier: GPL-3.0-or-later
#include "casereportfile.h"

#include <system_error>

#include "report/casereport.h"
#include "report/offscreengui.h"
#include "report/reportpdf.h"

namespace cli {
namespace {

// The report names folders and files as a reviewer can find them again.
std::filesystem::path fullPath(const std::filesystem::path& path)
{
    std::error_code ec;
    const auto full = std::filesystem::absolute(path, ec);
    return ec ? path : full.lexically_normal();
}

} // namespace

struct ReportDrawing::Resources {
    report::OffscreenGui gui;
};

ReportDrawing::ReportDrawing() : m_resources(std::make_unique<Resources>()) {}
ReportDrawing::~ReportDrawing() = default;

std::string writeCaseReportFile(const std::filesystem::path& path, const EvaluatedCase& evaluated)
{
    const report::OffscreenGui gui;
    report::CaseInputs inputs;
    inputs.grid = evaluated.grid;
    inputs.cpiLine = evaluated.cpiLine;
    inputs.probabilityLine = evaluated.probabilityLine;
    inputs.population = evaluated.table->population();
    inputs.table = evaluated.table;
    inputs.dataFolder = fullPath(evaluated.dataDir);
    inputs.source = fullPath(evaluated.source);
    const std::string now = report::currentDateTimeText();
    inputs.sourceLoadedAt = now; // the command reads the workbook as it starts
    inputs.sourceSamples = evaluated.sourceSamples;
    inputs.format = evaluated.format;
    try {
        report::writeReportPdf(report::describeCase(inputs, now), path);
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

} // namespace cli
