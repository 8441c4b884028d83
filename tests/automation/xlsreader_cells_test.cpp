// SPDX-License-Identifier: GPL-3.0-or-later
// Every .xls the repository held when the .xls reader of our own replaced FreeXL (fixtures,
// bundled workbooks, hostile and regression files) must keep giving the sheets and cells
// FreeXL gave, kept in fixtures/xls-cells.txt (or its refusal). Where FreeXL crashed, or
// refused at open a sheet declared as large as the format allows, the file holds today's answer.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>

#include "automation/workbook.h"
#include "testfiles.h"

using namespace automation;
using namespace automationtest;

namespace {

const fs::path kSourceDir = PI_SOURCE_DIR;

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

// The expected dumps: "== path" then the lines dump() gives for that file.
std::vector<std::pair<std::string, std::string>> expectedDumps()
{
    std::ifstream in(fixture("xls-cells.txt"), std::ios::binary);
    std::vector<std::pair<std::string, std::string>> files;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("== ", 0) == 0)
            files.emplace_back(line.substr(3), "");
        else if (!files.empty())
            files.back().second += line + "\n";
    }
    return files;
}

TEST(XlsReader, EveryRepositoryXlsReadsAsBefore)
{
    const auto files = expectedDumps();
    ASSERT_GE(files.size(), 60u);
    const auto reader = makeFileWorkbookReader();
    for (const auto& [name, expected] : files)
        EXPECT_EQ(dump([&] { return reader->open(kSourceDir / name); }), expected) << name;
}

} // namespace
