// SPDX-License-Identifier: GPL-3.0-or-later
#include "summaryfile.h"

#include <cstring>
#include <sstream>
#include <stdexcept>
#include <string>

#include "archive/filereplacement.h"

namespace archive {
namespace fs = std::filesystem;

void writeSummaryCsvFile(const fs::path& path, const RunIdentity& identity, const std::vector<CaseSummary>& cases)
{
    std::ostringstream text;
    writeSummaryCsv(identity, cases, text);
    if (const int error = replaceFile(path, text.str()))
        throw std::runtime_error("Сводка «" + path.string() + "» не записана: " + std::strerror(error));
}

} // namespace archive
