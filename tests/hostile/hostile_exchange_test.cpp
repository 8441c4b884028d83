// SPDX-License-Identifier: GPL-3.0-or-later
// Hostile and broken workbooks through the results exchange: the batch evaluation of a genotype
// workbook and the results workbook reader, on the bundled frequencies of the US Caucasians.
// Both hand back a new table or an error, so the operator's table is untouched by construction;
// what is checked here is that every file gets one of the two answers (never an exception or a
// crash), that an error starts with the read error and names the file, that a table never holds
// more than 99 rows, that no file changes, and that memory stays bounded.
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
#include "results/gridtexts.h"
#include "text/numberformat.h"

namespace hostile {
namespace {

namespace fs = std::filesystem;

const text::NumberFormat kFormat(",");

const automation::WorkbookReader& fileReader()
{
    static const auto reader = automation::makeFileWorkbookReader();
    return *reader;
}

const freqdb::LocusTable& bundledTable()
{
    static const freqdb::LocusTable table = [] {
        const auto loaded
            = freqdb::LoadLocusTable(PI_SOURCE_DIR, freqdb::Population::UsCaucasians, fileReader(), kFormat);
        if (loaded.status != freqdb::LoadStatus::Loaded)
            throw std::runtime_error("bundled data: " + loaded.message);
        return loaded.table;
    }();
    return table;
}

void expectAnswer(const exchange::LoadedResults& loaded, const fs::path& path)
{
    if (loaded.ok) {
        EXPECT_LE(loaded.grid.ResultCount(), 99);
        for (int r = 1; r <= loaded.grid.ResultCount(); ++r) {
            for (int c = 0; c < results::kColumnCount; ++c)
                EXPECT_LE(loaded.grid.cell(r, c).size(), 1u << 20) << "row " << r << " column " << c;
        }
        return;
    }
    const auto text = lines(loaded.error);
    ASSERT_GE(text.size(), 2u) << loaded.error;
    EXPECT_EQ(text[0], freqdb::kReadFailed);
    EXPECT_NE(loaded.error.find(path.filename().string()), std::string::npos) << loaded.error;
    EXPECT_TRUE(isValidUtf8(loaded.error));
}

struct Outcome {
    exchange::LoadedResults batch;
    exchange::LoadedResults results;
};

// Both readers on a copy of the file, with the checks every file must pass.
Outcome readBoth(const fs::path& source)
{
    WorkFolder work;
    const fs::path path = work.path() / source.filename();
    fs::copy_file(source, path);
    const std::string before = fileBytes(path);
    const double memoryBefore = peakMemoryMiB();
    Outcome out{exchange::evaluateGenotypeWorkbook(path, fileReader(), bundledTable(), kFormat),
                exchange::loadResultsWorkbook(path, fileReader(), kFormat)};
    if (memoryIsMeasurable()) {
        EXPECT_LT(peakMemoryMiB() - memoryBefore, kMemoryBoundMiB) << "MiB taken by the reads";
    }
    EXPECT_EQ(fileBytes(path), before) << "a read changed the file";
    expectAnswer(out.batch, path);
    expectAnswer(out.results, path);
    return out;
}

std::string testName(std::string file)
{
    std::replace_if(
        file.begin(), file.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
    return file;
}

// Every committed hostile file, and the big ones, as a genotype and as a results workbook.
std::vector<std::string> allFiles()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(PI_HOSTILE_FILES))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    for (const char* big : {"zip-bomb.xlsx", "zip-bomb.ods", "big-cell.xlsx", "big-cell.ods", "case-big-cell.xlsx",
                            "many-sheets.xlsx", "many-sheets.ods", "many-sheets.xls"})
        names.push_back(std::string("big/") + big);
    return names;
}

class HostileCaseWorkbook : public ::testing::TestWithParam<std::string> {};

TEST_P(HostileCaseWorkbook, GetsATableOrTheReadError)
{
    const std::string& name = GetParam();
    const fs::path source = name.starts_with("big/") ? bigFile(name.substr(4)) : smallFile(name);
    ASSERT_TRUE(fs::exists(source)) << source;
    readBoth(source);
}

INSTANTIATE_TEST_SUITE_P(Files, HostileCaseWorkbook, ::testing::ValuesIn(allFiles()),
                         [](const auto& info) { return testName(info.param); });

// The genotype workbooks made for the batch, with what each must give.
TEST(HostileGenotypeWorkbook, ControlCaseEvaluatesEveryRow)
{
    const auto out = readBoth(smallFile("case-good.xlsx"));
    ASSERT_TRUE(out.batch.ok) << out.batch.error;
    ASSERT_EQ(out.batch.grid.ResultCount(), 3);
    for (int r = 1; r <= 3; ++r)
        EXPECT_FALSE(out.batch.grid.cell(r, results::kColumnLr).empty()) << "row " << r;
}

TEST(HostileGenotypeWorkbook, UnusableCellsGiveVerdictsWithoutLr)
{
    const auto out = readBoth(smallFile("case-odd-cells.xlsx"));
    ASSERT_TRUE(out.batch.ok) << out.batch.error;
    ASSERT_EQ(out.batch.grid.ResultCount(), 5);
    for (int r = 1; r <= 5; ++r) {
        EXPECT_TRUE(out.batch.grid.cell(r, results::kColumnLr).empty()) << "row " << r;
        EXPECT_FALSE(out.batch.grid.cell(r, results::kColumnFormula).empty()) << "row " << r << ": no verdict";
    }
}

TEST(HostileGenotypeWorkbook, ThousandRowsKeepTheFirst99WithANote)
{
    const auto out = readBoth(smallFile("case-1000-rows.xlsx"));
    for (const auto* loaded : {&out.batch, &out.results}) {
        ASSERT_TRUE(loaded->ok) << loaded->error;
        EXPECT_EQ(loaded->grid.ResultCount(), 99);
        EXPECT_FALSE(loaded->notes.empty());
    }
}

TEST(HostileGenotypeWorkbook, BrokenFilesGiveTheReadError)
{
    for (const char* file : {"case-truncated.xlsx", "case-entity-bomb.xlsx", "not-a-workbook.xlsx", "empty.ods"}) {
        SCOPED_TRACE(file);
        const auto out = readBoth(smallFile(file));
        EXPECT_FALSE(out.batch.ok);
        EXPECT_FALSE(out.results.ok);
    }
}

TEST(HostileGenotypeWorkbook, MissingAndFolderPathsGiveTheReadError)
{
    WorkFolder work;
    fs::create_directory(work.path() / "case.xlsx");
    for (const fs::path& path : {work.path() / "case.xlsx", work.path() / "absent.xlsx"}) {
        SCOPED_TRACE(path.string());
        const auto batch = exchange::evaluateGenotypeWorkbook(path, fileReader(), bundledTable(), kFormat);
        EXPECT_FALSE(batch.ok);
        expectAnswer(batch, path);
        const auto results = exchange::loadResultsWorkbook(path, fileReader(), kFormat);
        EXPECT_FALSE(results.ok);
        expectAnswer(results, path);
    }
}

} // namespace
} // namespace hostile
