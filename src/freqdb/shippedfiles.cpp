// SPDX-License-Identifier: GPL-3.0-or-later
#include "freqdb/shippedfiles.h"

#include <fstream>

#include "freqdb/filedigest.h"

namespace freqdb {

ShippedFiles ShippedFiles::read(const std::filesystem::path& installedFolder)
{
    ShippedFiles list;
    std::ifstream in(installedFolder / kShippedFilesName);
    std::string line;
    while (std::getline(in, line)) {
        // "<64 hex digits><two spaces, or a space and '*' in binary mode><name>"
        if (line.size() < 67 || line.find_first_not_of("0123456789abcdef") != 64)
            continue;
        list.m_entries.emplace(line.substr(66), line.substr(0, 64));
    }
    return list;
}

bool ShippedFiles::isCopy(const std::filesystem::path& labFile) const
{
    if (m_entries.empty())
        return false;
    const auto hash = fileSha256(labFile);
    return hash && m_entries.count({labFile.filename().string(), *hash}) > 0;
}

} // namespace freqdb
