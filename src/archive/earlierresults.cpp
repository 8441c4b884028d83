// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/earlierresults.h"

#include <algorithm>
#include <string>
#include <system_error>

#include "archive/casesummary.h"
#include "archive/summaryfile.h"

namespace archive {
namespace {

namespace fs = std::filesystem;

bool endsWith(const std::string& name, std::string_view suffix)
{
    return name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

std::vector<ResultFile> resultFilesIn(const fs::path& folder)
{
    std::vector<ResultFile> out;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!it->is_regular_file(ec))
            continue;
        if (endsWith(name, kResultsSuffix) || endsWith(name, kReportSuffix) || name == kSummaryFileName)
            out.push_back({it->path(), it->last_write_time(ec)});
    }
    std::sort(out.begin(), out.end(), [](const ResultFile& a, const ResultFile& b) { return a.path < b.path; });
    return out;
}

std::vector<fs::path> leftFromEarlierRun(const std::vector<ResultFile>& before)
{
    std::vector<fs::path> out;
    for (const ResultFile& file : before) {
        std::error_code ec;
        const fs::file_time_type now = fs::last_write_time(file.path, ec);
        if (!ec && now == file.written)
            out.push_back(file.path);
    }
    return out;
}

fs::path freshFolderBeside(const fs::path& folder)
{
    fs::path base = folder;
    if (!base.has_filename())
        base = base.parent_path();
    for (int n = 2;; ++n) {
        fs::path candidate = base;
        candidate += " (" + std::to_string(n) + ")";
        std::error_code ec;
        if (!fs::exists(candidate, ec) && !ec)
            return candidate;
    }
}

} // namespace archive
