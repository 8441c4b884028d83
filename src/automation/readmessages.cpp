// SPDX-License-Identifier: GPL-3.0-or-later
#include "readmessages.h"

namespace automation {

std::string fileLabel(const std::filesystem::path& path)
{
    return "«" + validUtf8(path.filename().native()) + "»";
}

std::string sheetLabel(const std::filesystem::path& path, std::string_view sheet)
{
    return fileLabel(path) + ", лист «" + validUtf8(sheet) + "»";
}

} // namespace automation
