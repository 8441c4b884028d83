// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The installed data folder lists every version of every file the program has ever shipped in
// it, in shipped-files.sha256 (sha256sum's format: "<hash>  <file name>", one line each; lines
// are only ever added). A lab folder made by copying an earlier installed folder as a whole holds
// such files: they are copies of the program's tables, not the lab's own, and must not hide the
// tables of a later package.
#include <filesystem>
#include <set>
#include <string>
#include <utility>

namespace freqdb {

inline constexpr const char* kShippedFilesName = "shipped-files.sha256";

class ShippedFiles {
public:
    // The list of an installed folder; none (an empty list) when it has no such file.
    static ShippedFiles read(const std::filesystem::path& installedFolder);

    // True when the file `fileName` of a lab folder has the content of a shipped version.
    bool isCopy(const std::filesystem::path& labFile) const;

private:
    std::set<std::pair<std::string, std::string>> m_entries; // (file name, hash)
};

} // namespace freqdb
