// SPDX-License-Identifier: GPL-3.0-or-later
// A build without Qt (the fuzzing build) has no report library: asking for a report fails.
#include "casereportfile.h"

namespace cli {

struct ReportDrawing::Resources {};
ReportDrawing::ReportDrawing() = default;
ReportDrawing::~ReportDrawing() = default;

std::string writeCaseReportFile(const std::filesystem::path& path, const EvaluatedCase&)
{
    return "Отчёт «" + path.string() + "» не сохранён: эта сборка программы не составляет отчёты";
}

} // namespace cli
