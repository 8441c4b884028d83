// SPDX-License-Identifier: GPL-3.0-or-later
// A build without Qt (the fuzzing build) has no report library: asking for a report fails.
#include "kinshipreportfile.h"

namespace cli {

std::string writeKinshipReportFile(const std::filesystem::path& path, const kinship::KinshipReportCase&)
{
    return "Отчёт «" + path.string() + "» не сохранён: эта сборка программы не составляет отчёты";
}

} // namespace cli
