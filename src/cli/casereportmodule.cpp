// SPDX-License-Identifier: GPL-3.0-or-later
// The report module's side of cli/reportmodule.h: the case report and the validation protocol drawn with Qt Gui.
#include <system_error>

#include "cli/programmodule.h"
#include "cli/reportmodule.h"
#include "report/casereport.h"
#include "report/offscreengui.h"
#include "report/reportpdf.h"
#include "report/validationreport.h"
#include "version/projectversion.h"

namespace cli {
namespace {

// The report names folders and files as a reviewer can find them again.
std::filesystem::path fullPath(const std::filesystem::path& path)
{
    std::error_code ec;
    const auto full = std::filesystem::absolute(path, ec);
    return ec ? path : full.lexically_normal();
}

void* startDrawing()
{
    return new report::OffscreenGui;
}

void stopDrawing(void* drawing)
{
    delete static_cast<report::OffscreenGui*>(drawing);
}

std::string writeReport(const std::filesystem::path& path, const EvaluatedCase& evaluated)
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

std::string writeValidationReport(const std::filesystem::path& path, const validation::ValidationProtocol& protocol)
{
    const report::OffscreenGui gui;
    try {
        report::writeValidationPdf(protocol, path);
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

const ReportModuleEntry kEntry{startDrawing, stopDrawing, writeReport, writeValidationReport};

} // namespace
} // namespace cli

PI_MODULE_VERSION_ENTRY(version::kVersion)

PI_MODULE_EXPORT const cli::ReportModuleEntry* pi_report_module_entry()
{
    return &cli::kEntry;
}
