// SPDX-License-Identifier: GPL-3.0-or-later
#include "locusworkbookfiles.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "freqdb/windows1251order.h"
#include "text/shorttext.h"

namespace freqdb {
namespace {

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

bool isLocusWorkbookName(std::string_view fileName)
{
    const auto dot = fileName.rfind('.');
    if (dot == std::string_view::npos)
        return false;
    const std::string_view extension = fileName.substr(dot + 1);
    return equalsIgnoringAsciiCase(extension, "xls") || equalsIgnoringAsciiCase(extension, "xlsx")
           || equalsIgnoringAsciiCase(extension, "ods");
}

// std::filesystem::path::stem() keeps ".xls" whole as a stem; a locus name never starts at the
// dot, so the last '.' is cut here by hand.
std::string fileNameWithoutExtension(const std::filesystem::path& path)
{
    const std::string name = path.filename().string();
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string locusNameOf(const std::filesystem::path& path)
{
    return text::cutToCharacters(fileNameWithoutExtension(path), text::kMaxLocusNameChars);
}

namespace {

// The locus workbooks of dataDir in the folder's own order, with their file names; `firstOnly`
// stops at the first one.
std::vector<std::pair<std::string, std::filesystem::path>> locusWorkbooksIn(const std::filesystem::path& dataDir,
                                                                            bool firstOnly)
{
    std::vector<std::pair<std::string, std::filesystem::path>> found;
    std::error_code error;
    if (!std::filesystem::is_directory(dataDir, error))
        return found;
    for (const auto& entry : std::filesystem::directory_iterator(dataDir)) {
        std::string name = entry.path().filename().string();
        if (!isLocusWorkbookName(name))
            continue;
        found.emplace_back(std::move(name), entry.path());
        if (firstOnly)
            break;
    }
    return found;
}

} // namespace

std::vector<std::filesystem::path> findLocusWorkbooks(const std::filesystem::path& dataDir)
{
    // Each file name taken once, not twice for every comparison of the sort.
    auto named = locusWorkbooksIn(dataDir, false);
    std::sort(named.begin(), named.end(),
              [](const auto& a, const auto& b) { return windows1251Less(a.first, b.first); });
    std::vector<std::filesystem::path> found;
    found.reserve(named.size());
    for (auto& [name, path] : named)
        found.push_back(std::move(path));
    return found;
}

bool hasLocusWorkbooks(const std::filesystem::path& dataDir)
{
    return !locusWorkbooksIn(dataDir, true).empty();
}

} // namespace freqdb
