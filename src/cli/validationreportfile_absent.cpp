// SPDX-License-Identifier: GPL-3.0-or-later
// A build without Qt (the fuzzing build) has no report library: no fingerprint, no PDF.
#include "validationreportfile.h"

namespace cli {

std::string validationFingerprint(const freqdb::LocusTable&)
{
    return "нет: эта сборка программы не вычисляет отпечаток";
}

std::string writeValidationReportFile(const std::filesystem::path& path, const validation::ValidationProtocol&)
{
    return "Протокол «" + path.string() + "» не сохранён: эта сборка программы не составляет отчёты";
}

} // namespace cli
