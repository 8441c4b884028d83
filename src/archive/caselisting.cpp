// SPDX-License-Identifier: GPL-3.0-or-later
#include "caselisting.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace archive {
namespace {

namespace fs = std::filesystem;

CaseSummary caseOf(fs::path file, std::string failure = {})
{
    CaseSummary summary;
    summary.file = std::move(file);
    summary.status = std::move(failure);
    return summary;
}

} // namespace

bool isGenotypeWorkbookName(const fs::path& file)
{
    std::string name = file.filename().string();
    for (char& c : name)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    const auto endsWith = [&](std::string_view end) {
        return name.size() > end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0;
    };
    // Results workbooks of an earlier run and office lock files are not cases.
    if (name.starts_with("~$") || name.starts_with(".") || endsWith(kResultsSuffix))
        return false;
    return endsWith(".xlsx") || endsWith(".xls") || endsWith(".ods");
}

void expandCase(const fs::path& argument, std::vector<CaseSummary>& cases)
{
    std::error_code ec;
    if (!fs::is_directory(argument, ec)) {
        cases.push_back(caseOf(argument));
        return;
    }
    std::vector<CaseSummary> found;
    for (fs::directory_iterator it(argument, ec), end; !ec && it != end; it.increment(ec)) {
        if (!isGenotypeWorkbookName(it->path()))
            continue;
        // Every entry named like a case gets its line: what cannot be one says why, unopened (a
        // FIFO would block the run, a device never end).
        std::error_code fileEc;
        if (it->is_regular_file(fileEc)) {
            found.push_back(caseOf(it->path()));
        } else if (it->is_symlink(fileEc) && !it->exists(fileEc)) {
            std::error_code linkEc;
            const fs::path target = fs::read_symlink(it->path(), linkEc);
            found.push_back(caseOf(it->path(), "ссылка ведет к несуществующему файлу: " + target.string()));
        } else if (it->is_directory(fileEc)) {
            found.push_back(caseOf(it->path(), "это папка, а не файл книги"));
        } else {
            found.push_back(caseOf(it->path(), "это не обычный файл"));
        }
    }
    if (ec) {
        cases.push_back(caseOf(argument, "папка не читается: " + ec.message()));
        return;
    }
    if (found.empty()) {
        cases.push_back(caseOf(argument, "в папке нет книг генотипов (.xlsx, .xls, .ods)"));
        return;
    }
    std::sort(found.begin(), found.end(), [](const CaseSummary& a, const CaseSummary& b) { return a.file < b.file; });
    for (auto& summary : found)
        cases.push_back(std::move(summary));
}

} // namespace archive
