// SPDX-License-Identifier: GPL-3.0-or-later
// Reports through the report module (cli/reportmodule.h), opened at the first report asked for.
#include "casereportfile.h"

#include "cli/programmodule.h"
#include "cli/reportmodule.h"

namespace cli {

OpenedReportModule openReportModule()
{
    const ProgramModule module = openProgramModule(kReportModuleFile, kReportModuleEntryName);
    if (!module.entry)
        return {nullptr, module.error};
    return {reinterpret_cast<const ReportModuleEntry* (*)()>(module.entry)(), {}};
}

struct ReportDrawing::Resources {
    const ReportModuleEntry* entry = nullptr;
    void* drawing = nullptr;
};

ReportDrawing::ReportDrawing() : m_resources(std::make_unique<Resources>())
{
    // Without the module every report of the run fails, each with the reason.
    if ((m_resources->entry = openReportModule().entry))
        m_resources->drawing = m_resources->entry->startDrawing();
}

ReportDrawing::~ReportDrawing()
{
    if (m_resources->entry)
        m_resources->entry->stopDrawing(m_resources->drawing);
}

std::string writeCaseReportFile(const std::filesystem::path& path, const EvaluatedCase& evaluated)
{
    const OpenedReportModule module = openReportModule();
    if (!module.entry)
        return "Отчёт «" + path.string() + "» не сохранён: " + module.error;
    return module.entry->writeCaseReportFile(path, evaluated);
}

} // namespace cli
