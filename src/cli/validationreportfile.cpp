// SPDX-License-Identifier: GPL-3.0-or-later
#include "validationreportfile.h"

#include "report/offscreengui.h"
#include "report/tablesfingerprint.h"
#include "report/validationreport.h"

namespace cli {

std::string validationFingerprint(const freqdb::LocusTable& table)
{
    return report::tablesFingerprint(table);
}

std::string writeValidationReportFile(const std::filesystem::path& path, const validation::ValidationProtocol& protocol)
{
    const report::OffscreenGui gui;
    try {
        report::writeValidationPdf(protocol, path);
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

} // namespace cli
