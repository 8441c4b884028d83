// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it at the end
// of the test.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace freqdb::testing {

class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "pi-freqdb-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }

    // An empty file (the fake reader supplies its content) below the folder.
    std::filesystem::path touch(const std::filesystem::path& relative) const
    {
        const auto file = m_path / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file).flush();
        return file;
    }

private:
    std::filesystem::path m_path;
};

} // namespace freqdb::testing
