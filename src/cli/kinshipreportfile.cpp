// SPDX-License-Identifier: GPL-3.0-or-later
// The deficiency case's report through the report module, opened at the report asked for.
#include "kinshipreportfile.h"

#include "cli/programmodule.h"
#include "cli/reportmodule.h"

namespace cli {

std::string writeKinshipReportFile(const std::filesystem::path& path, const kinship::KinshipReportCase& evaluated)
{
    const ProgramModule module = openProgramModule(kReportModuleFile, kKinshipReportEntryName);
    if (!module.entry)
        return "Отчёт «" + path.string() + "» не сохранён: " + module.error;
    return reinterpret_cast<KinshipReportWriter (*)()>(module.entry)()(path, evaluated);
}

} // namespace cli
