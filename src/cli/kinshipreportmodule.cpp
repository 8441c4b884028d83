// SPDX-License-Identifier: GPL-3.0-or-later
// The report module's entry for the deficiency case's report (cli/kinshipreportfile.h).
#include "cli/kinshipreportfile.h"
#include "cli/programmodule.h"
#include "report/kinshipreport.h"
#include "report/offscreengui.h"

namespace cli {
namespace {

std::string writeReport(const std::filesystem::path& path, const kinship::KinshipReportCase& evaluated)
{
    const report::OffscreenGui gui;
    return report::writeKinshipReport(path, evaluated);
}

} // namespace
} // namespace cli

PI_MODULE_EXPORT cli::KinshipReportWriter pi_kinship_report_entry()
{
    return &cli::writeReport;
}
