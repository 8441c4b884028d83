// SPDX-License-Identifier: GPL-3.0-or-later
// A build without Qt (the fuzzing build) has no report library: no PDF.
#include "validationreportfile.h"

namespace cli {

std::string writeValidationReportFile(const std::filesystem::path& path, const validation::ValidationProtocol&)
{
    return "Протокол «" + path.string() + "» не сохранён: эта сборка программы не составляет отчёты";
}

} // namespace cli
