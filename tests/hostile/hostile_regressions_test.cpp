// SPDX-License-Identifier: GPL-3.0-or-later
// Inputs that once crashed, hung or exhausted memory (fuzz findings and reported files), kept in
// tests/hostile/regressions. Each goes through the reader (every sheet, every cell), the loader
// (as the workbook of D3S1358) and both results readers, and must get an answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "automation/workbook.h"
#include "exchange/genotypeworkbook.h"
#include "exchange/resultsworkbookreader.h"
#include "freqdb/loadmessages.h"
#include "freqdb/locusloader.h"
#include "hostilesupport.h"
#include "text/numberformat.h"

namespace hostile {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> regressionFiles()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(regressionsFolder())) {
        if (entry.is_regular_file() && entry.path().filename().string()[0] != '.' && entry.path().extension() != ".md")
            names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    if (names.empty())
        names.push_back(""); // keeps the suite instantiated while the folder is empty
    return names;
}

class Regression : public ::testing::TestWithParam<std::string> {};

TEST_P(Regression, GetsAnAnswer)
{
    if (GetParam().empty())
        GTEST_SKIP() << "no regression inputs yet";
    const fs::path source = regressionsFolder() / GetParam();
    const auto reader = automation::makeFileWorkbookReader();
    const text::NumberFormat format(",");

    try {
        const auto book = reader->open(source);
        for (int i = 1; i <= book->sheetCount(); ++i) {
            const auto cells = book->usedRange(i);
            for (int r = 1; r <= cells.rows(); ++r)
                for (int c = 1; c <= cells.columns(); ++c)
                    automation::cellText(cells.at(r, c), format);
        }
    } catch (const automation::WorkbookError&) {
    }

    WorkFolder work;
    // A fuzz finding has no extension of its own: name it after its content.
    std::string extension = source.extension().string();
    if (extension != ".xls" && extension != ".xlsx" && extension != ".ods")
        extension = fileBytes(source).starts_with("PK") ? ".xlsx" : ".xls";
    fs::copy_file(source, work.dataDir() / ("D3S1358" + extension));
    const auto loaded = freqdb::LoadLocusTable(work.path(), freqdb::Population::UsCaucasians, *reader, format);
    if (loaded.status == freqdb::LoadStatus::Failed) {
        EXPECT_EQ(lines(loaded.message).at(0), freqdb::kReadFailed);
    }

    const fs::path asCase = work.path() / ("case" + extension);
    fs::copy_file(source, asCase);
    const freqdb::LocusTable table;
    for (const auto& out : {exchange::evaluateGenotypeWorkbook(asCase, *reader, table, format),
                            exchange::loadResultsWorkbook(asCase, *reader, format)}) {
        if (out.ok)
            EXPECT_LE(out.grid.ResultCount(), 99);
        else
            EXPECT_EQ(lines(out.error).at(0), freqdb::kReadFailed);
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, Regression, ::testing::ValuesIn(regressionFiles()), [](const auto& info) {
    std::string name = info.param.empty() ? "none" : info.param;
    std::replace_if(
        name.begin(), name.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
    return name;
});

} // namespace
} // namespace hostile
