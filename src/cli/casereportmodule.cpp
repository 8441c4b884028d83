// SPDX-License-Identifier: GPL-3.0-or-later
// The report module's side of cli/reportmodule.h: the case report and the validation protocol drawn with Qt Gui.
#include "cli/programmodule.h"
#include "cli/reportmodule.h"
#include "report/evaluatedcasereport.h"
#include "report/offscreengui.h"
#include "report/reportpdf.h"
#include "report/validationreport.h"
#include "version/projectversion.h"

namespace cli {
namespace {

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
    return report::writeEvaluatedCaseReport(path, evaluated);
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
