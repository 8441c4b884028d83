// SPDX-License-Identifier: GPL-3.0-or-later
#include "validationreportfile.h"

#include "cli/reportmodule.h"

namespace cli {

std::string writeValidationReportFile(const std::filesystem::path& path, const validation::ValidationProtocol& protocol)
{
    const OpenedReportModule module = openReportModule();
    if (!module.entry)
        return "Протокол «" + path.string() + "» не сохранён: " + module.error;
    return module.entry->writeValidationReportFile(path, protocol);
}

} // namespace cli
