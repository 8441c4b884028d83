// SPDX-License-Identifier: GPL-3.0-or-later
// The .xls reader of our own against the FreeXL-based one it replaces: every .xls the repository
// holds (fixtures, bundled workbooks, hostile and regression files) must give the same sheets and
// the same cells, or be refused by both.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>

#include "automation/cfbreader.h"
#include "automation/workbook.h"
#include "automation/xlsworkbook.h"
#include "testfiles.h"

using namespace automation;
using namespace automationtest;

namespace {

const fs::path kSourceDir = PI_SOURCE_DIR;

std::vector<std::string> repositoryXlsFiles()
{
    std::vector<std::string> files;
    for (const char* top : {"data", "examples", "tests"}) {
        if (!fs::exists(kSourceDir / top))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(kSourceDir / top)) {
            std::string ext = entry.path().extension().string();
            std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
            if (entry.is_regular_file() && ext == ".xls")
                files.push_back(fs::relative(entry.path(), kSourceDir).generic_string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string showValue(const CellValue& v)
{
    if (const auto* s = std::get_if<std::string>(&v)) {
        std::string out = "t ";
        for (char c : *s)
            out += c == '\n' ? std::string("\\n") : c == '\\' ? std::string("\\\\") : std::string(1, c);
        return out;
    }
    if (const auto* d = std::get_if<double>(&v)) {
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "n %.17g", *d);
        return buffer;
    }
    if (const auto* e = std::get_if<CellError>(&v))
        return "e " + e->reason;
    return "";
}

// Sheets and used ranges as lines of text; "refused" where the reader throws.
std::string dump(const std::function<std::unique_ptr<Workbook>()>& open)
{
    std::string out;
    std::unique_ptr<Workbook> book;
    try {
        book = open();
    } catch (const WorkbookError&) {
        return "refused\n";
    }
    for (int i = 1; i <= book->sheetCount(); ++i) {
        out += "sheet " + book->sheetName(i) + "\n";
        try {
            const CellArray cells = book->usedRange(i);
            for (int r = 1; r <= cells.rows(); ++r)
                for (int c = 1; c <= cells.columns(); ++c)
                    if (!isEmpty(cells.at(r, c)))
                        out += "  " + cells.sheetCellName(r, c) + " " + showValue(cells.at(r, c)) + "\n";
        } catch (const WorkbookError&) {
            out += "  refused\n";
        }
    }
    return out;
}

// Files on which the answers differ, and why.
const std::map<std::string, std::string> kKnownDifferences = {
    // FreeXL crashes on them: there is no answer to compare with.
    {"tests/hostile/regressions/xls-invalid-free.xls", "crashes FreeXL"},
    {"tests/hostile/regressions/xls-invalid-free-2.xls", "crashes FreeXL"},
    // Declares a sheet as large as the format allows: refused at open before, because FreeXL
    // allocates the declared size; now its used range, A1:IV65536, is refused as too large.
    {"tests/hostile/files/far-corner.xls", "refused at open before, its sheet refused now"},
};

TEST(XlsReaderComparison, EveryRepositoryXlsReadsAsWithFreeXL)
{
    const std::vector<std::string> files = repositoryXlsFiles();
    ASSERT_GE(files.size(), 60u);
    const auto reader = makeFileWorkbookReader();
    std::string expected;
    for (const std::string& name : files) {
        const fs::path path = kSourceDir / name;
        const auto known = kKnownDifferences.find(name);
        const std::string before =
            known == kKnownDifferences.end() ? dump([&] { return reader->open(path); }) : std::string();
        const std::string after = dump([&]() -> std::unique_ptr<Workbook> {
            const std::string bytes = readBytes(path);
            if (CfbReader::hasSignature(bytes))
                return std::make_unique<XlsWorkbook>(bytes, path);
            return reader->open(path);
        });
        if (known == kKnownDifferences.end()) {
            EXPECT_EQ(after, before) << name;
        }
        expected += "== " + name + "\n" + after;
    }
    if (const char* out = std::getenv("PI_XLS_CELLS_OUT"))
        std::ofstream(out, std::ios::binary) << expected;
}

} // namespace
