// SPDX-License-Identifier: GPL-3.0-or-later
// The loader's table rules and load sequence over the in-memory FakeWorkbookReader. The data
// folder itself is real (empty files in a temporary folder), since the search reads it.
#include "freqdb/locusloader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <tuple>
#include <vector>

#include "freqdb/loadmessages.h"
#include "freqdb/locusworkbookfiles.h"
#include "support/fakeworkbook.h"
#include "tempdir.h"

namespace freqdb {
namespace {

using automation::CellError;
using automation::CellValue;
using automation::FakeSheet;
using automation::makeCellArray;
using Rows = std::vector<std::vector<CellValue>>;

const CellValue E; // an empty cell

std::string firstLine(const std::string& message)
{
    return message.substr(0, message.find('\n'));
}

class LocusLoaderTest : public ::testing::Test {
protected:
    // A workbook data/<fileName> with one worksheet "<locus>-white" holding `rows`.
    std::filesystem::path addBook(const std::string& fileName, const Rows& rows, int firstRow = 1, int firstColumn = 1)
    {
        const auto path = dir.touch(std::filesystem::path("data") / fileName);
        reader.add(path,
                   {FakeSheet{fileNameWithoutExtension(path) + "-white", makeCellArray(rows, firstRow, firstColumn)}});
        return path;
    }

    LoadResult load(Population population = Population::UsCaucasians, const LoadProgress& progress = {})
    {
        return LoadLocusTable(dir.path(), population, reader, format, progress);
    }

    LocusRecord read(const std::filesystem::path& path)
    {
        return ReadLocusWorkbook(path, Population::UsCaucasians, reader, format);
    }

    testing::TempDir dir;
    automation::FakeWorkbookReader reader;
    text::NumberFormat format{","};
};

const Rows kSmallLocus = {{"10", 0.25}, {"11", 0.75}, {"Сумма", 1.0}};

TEST_F(LocusLoaderTest, LoadsInWindows1251OrderOfFileNames)
{
    for (const char* name : {"vWA.xls", "D3S1358.xlsx", "TPOX.ODS", "FGA.xls", "AB.xls", "AB-1.xls", "Альфа.xls"})
        addBook(name, kSmallLocus);
    dir.touch("data/notes.txt");
    dir.touch("data/FGA.xls.bak");
    std::filesystem::create_directories(dir.path() / "data" / "source");

    std::vector<std::tuple<int, int, std::string>> progress;
    const LoadResult result = load(Population::UsCaucasians, [&](int done, int total, const std::string& name) {
        progress.emplace_back(done, total, name);
    });

    ASSERT_EQ(result.status, LoadStatus::Loaded) << result.message;
    const std::vector<std::string> expected = {"AB-1", "AB", "D3S1358", "FGA", "TPOX", "vWA", "Альфа"};
    ASSERT_EQ(result.table.LocusCount(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(result.table.record(static_cast<std::uint8_t>(k + 1)).Name, expected[k]);
        EXPECT_EQ(progress.at(k), std::make_tuple(int(k + 1), int(expected.size()), expected[k]));
    }
    EXPECT_EQ(result.table.population(), Population::UsCaucasians);
    EXPECT_EQ(result.workDir, dir.path());
}

TEST_F(LocusLoaderTest, NoWorkbookGivesFilesNotFound)
{
    EXPECT_EQ(load().status, LoadStatus::FilesNotFound); // no data folder at all
    dir.touch("data/readme.txt");
    const LoadResult result = load();
    EXPECT_EQ(result.status, LoadStatus::FilesNotFound);
    EXPECT_EQ(result.message, kFilesNotFound);
    EXPECT_EQ(reader.openCount(), 0);
}

TEST_F(LocusLoaderTest, FailureHandsOverNothingOfTheNewTable)
{
    addBook("A.xls", kSmallLocus);
    addBook("B.xls", {{"10", "abc"}, {"Сумма", 1.0}});
    addBook("C.xls", kSmallLocus);
    int calls = 0;
    const LoadResult result = load(Population::UsCaucasians, [&](int, int, const std::string&) { ++calls; });

    EXPECT_EQ(result.status, LoadStatus::Failed);
    EXPECT_EQ(result.table.LocusCount(), 0);
    EXPECT_EQ(result.table.record(1).AlleleCount, 0);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(reader.openCount(), 2); // C.xls is not read after the failure
    EXPECT_EQ(firstLine(result.message), kReadFailed);
    EXPECT_NE(result.message.find("«B.xls»"), std::string::npos) << result.message;
}

TEST_F(LocusLoaderTest, RussiansWithoutRusSheetsSayWhereTheyBelong)
{
    addBook("D3S1358.xls", kSmallLocus);
    const LoadResult result = load(Population::Russians);

    ASSERT_EQ(result.status, LoadStatus::Failed);
    EXPECT_EQ(firstLine(result.message), kReadFailed);
    EXPECT_NE(result.message.find("нет листа «D3S1358-rus»; листы книги: «D3S1358-white»"), std::string::npos)
        << result.message;
    EXPECT_NE(result.message.find("В папке данных нет листа «D3S1358-rus»"), std::string::npos) << result.message;
    EXPECT_NE(result.message.find((dir.path() / "data").string()), std::string::npos) << result.message;
}

TEST_F(LocusLoaderTest, FolderLimitsFailWithAReason)
{
    struct Case {
        const char* name;
        std::vector<std::string> files;
        std::string reason;
    };
    std::vector<std::string> many;
    for (int i = 0; i < 101; ++i)
        many.push_back("L" + std::to_string(1000 + i) + ".xls");
    const std::vector<Case> cases = {
        {"MoreThan100Workbooks", many, "книг локусов: 101"},
        {"TwoWorkbooksOfOneLocus", {"D3S1358.xls", "D3S1358.ods"}, "Локус «D3S1358» задан двумя книгами"},
        {"NamesEqualInTheir20Characters",
         {"ABCDEFGHIJKLMNOPQRST-1.xls", "ABCDEFGHIJKLMNOPQRST-2.xls"},
         "задан двумя книгами"},
        {"EmptyLocusName", {".xls"}, "нет названия локуса"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempDir local;
        automation::FakeWorkbookReader books;
        for (const auto& file : c.files) {
            const auto path = local.touch(std::filesystem::path("data") / file);
            books.add(path, {FakeSheet{fileNameWithoutExtension(path) + "-white", makeCellArray(kSmallLocus)}});
        }
        const LoadResult result = LoadLocusTable(local.path(), Population::UsCaucasians, books, format);
        EXPECT_EQ(result.status, LoadStatus::Failed);
        EXPECT_EQ(result.table.LocusCount(), 0);
        EXPECT_EQ(firstLine(result.message), kReadFailed);
        EXPECT_NE(result.message.find(c.reason), std::string::npos) << result.message;
    }
}

TEST_F(LocusLoaderTest, FolderNamedLikeAWorkbookFailsTheRead)
{
    std::filesystem::create_directories(dir.path() / "data" / "TH01.xls");
    const LoadResult result = load();
    EXPECT_EQ(result.status, LoadStatus::Failed);
    EXPECT_NE(result.message.find("Книга «TH01.xls»: это папка"), std::string::npos) << result.message;
    EXPECT_EQ(reader.openCount(), 0);
}

TEST_F(LocusLoaderTest, LongFileNameCutsTheLocusNameButFindsTheWholeSheet)
{
    const auto path = addBook("ABCDEFGHIJKLMNOPQRSTUVWXYZ.xls", kSmallLocus);
    const LocusRecord record = read(path);
    EXPECT_EQ(record.Name, "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(record.AlleleCount, 2);
}

// The table rules of one worksheet, each row of the table a case.
struct TableCase {
    const char* name;
    Rows rows;
    int alleleCount;
    std::vector<std::string> labels; // labels 1..alleleCount
    std::vector<long double> frequencies; // frequencies 1..alleleCount
};

void PrintTo(const TableCase& c, std::ostream* os)
{
    *os << c.name;
}

class LocusTableRulesTest : public LocusLoaderTest, public ::testing::WithParamInterface<TableCase> {};

TEST_P(LocusTableRulesTest, Reads)
{
    const TableCase& c = GetParam();
    const LocusRecord record = read(addBook("D3S1358.xls", c.rows));
    EXPECT_EQ(record.Name, "D3S1358");
    ASSERT_EQ(record.AlleleCount, c.alleleCount);
    for (int i = 1; i <= c.alleleCount; ++i) {
        EXPECT_EQ(record.Labels[i], c.labels.at(i - 1)) << "allele " << i;
        EXPECT_EQ(record.Frequencies[i], c.frequencies.at(i - 1)) << "allele " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Worksheet, LocusTableRulesTest,
    ::testing::Values(TableCase{"ClosingRowIsNotAnAllele",
                                {{"12", 0.1}, {"13", 0.2}, {"14", 0.3}, {"15", 0.2}, {"16", 0.2}, {"Сумма", 1.0}},
                                5,
                                {"12", "13", "14", "15", "16"},
                                {0.1, 0.2, 0.3, 0.2, 0.2}},
                      TableCase{"AnAlleleInTheLastRowIsNotOffered",
                                {{"12", 0.1}, {"13", 0.2}, {"14", 0.3}, {"15", 0.2}, {"16", 0.1}, {"17", 0.1}},
                                5,
                                {"12", "13", "14", "15", "16"},
                                {0.1, 0.2, 0.3, 0.2, 0.1}},
                      TableCase{"EmptyLabelRowsBeforeTheClosingRowAreNotCounted",
                                {{"8", 0.5}, {"9", 0.25}, {"10", 0.25}, {E, E}, {E, 0.3}, {E, E}, {"Итого", 1.0}},
                                3,
                                {"8", "9", "10"},
                                {0.5, 0.25, 0.25}},
                      TableCase{"EmptyLabelRowInsideIsAnAlleleWithFrequency0",
                                {{"8", 0.5}, {E, "abc"}, {"10", 0.5}, {"Сумма", 1.0}},
                                3,
                                {"8", "", "10"},
                                {0.5, 0, 0.5}},
                      TableCase{"ClosingRowWithoutLabelHasItsFrequencyUnread",
                                {{"10", 0.5}, {E, CellError{"#REF!"}}, {"11", 0.5}, {E, "итого"}},
                                3,
                                {"10", "", "11"},
                                {0.5, 0, 0.5}},
                      TableCase{"NumberLabelsUseTheDecimalSeparator",
                                {{10.0, 0.5}, {9.3, 0.25}, {9.3000000000000007, 0.25}, {E, E}},
                                3,
                                {"10", "9,3", "9,3"},
                                {0.5, 0.25, 0.25}},
                      TableCase{"TextFrequencyWithTheDecimalComma",
                                {{"7", "0,125"}, {"8", "1,25E-1"}, {"9", E}, {"10", " 0,125 "}, {"Сумма", "0,25"}},
                                4,
                                {"7", "8", "9", "10"},
                                {0.125L, 0.125L, 0, 0.125L}},
                      TableCase{"LongLabelsKeepFiveCharacters",
                                {{"123456", 0.5}, {"Аллель", 0.5}, {"Σ", 1.0}},
                                2,
                                {"12345", "Аллел"},
                                {0.5, 0.5}},
                      TableCase{"ColumnsAfterTheSecondAreIgnored",
                                {{"10", 0.5, "x", CellError{"#DIV/0!"}}, {"11", 0.5}, {E, E}},
                                2,
                                {"10", "11"},
                                {0.5, 0.5}},
                      TableCase{"ClosingRowMayExceedOne",
                                {{"10", 0.6002}, {"11", 0.4002}, {"Сумма", 1.0004}},
                                2,
                                {"10", "11"},
                                {0.6002, 0.4002}},
                      TableCase{"HundredRowsGive99Alleles",
                                [] {
                                    Rows rows;
                                    for (int i = 1; i <= 99; ++i)
                                        rows.push_back({std::to_string(i), 0.01});
                                    rows.push_back({"Сумма", 0.99});
                                    return rows;
                                }(),
                                99,
                                [] {
                                    std::vector<std::string> labels;
                                    for (int i = 1; i <= 99; ++i)
                                        labels.push_back(std::to_string(i));
                                    return labels;
                                }(),
                                std::vector<long double>(99, 0.01)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LocusLoaderTest, ClosingRowValuesStayAboveTheAlleles)
{
    const LocusRecord record = read(addBook("FGA.xls", {{"20", 0.5}, {"21", 0.5}, {E, E}, {"Сумма", 1.0}}));
    EXPECT_EQ(record.AlleleCount, 2);
    EXPECT_EQ(record.Labels[4], "Сумма");
    EXPECT_EQ(record.Frequencies[4], 1.0);
    EXPECT_EQ(record.Labels[3], "");
}

TEST_F(LocusLoaderTest, OffsetUsedRangeReadsLikeOneAtA1AndNamesSheetCells)
{
    const LocusRecord record = read(addBook("TPOX.xls", {{"8", 0.5}, {"9", 0.5}, {"Сумма", 1.0}}, 3, 3));
    EXPECT_EQ(record.AlleleCount, 2);
    EXPECT_EQ(record.Labels[2], "9");

    try {
        read(addBook("TH01.xls", {{"6", 0.5}, {"7", "abc"}, {"Сумма", 1.0}}, 3, 3));
        FAIL() << "no error";
    } catch (const LocusReadError& e) {
        EXPECT_NE(std::string(e.what()).find("частота «abc» в ячейке D4 листа «TH01-white» — не число"),
                  std::string::npos)
            << e.what();
    }
}

// Worksheets that cannot be read, each with the reason the message must give.
struct BadCase {
    const char* name;
    Rows rows;
    std::string reason;
};

void PrintTo(const BadCase& c, std::ostream* os)
{
    *os << c.name;
}

class LocusTableRefusedTest : public LocusLoaderTest, public ::testing::WithParamInterface<BadCase> {};

TEST_P(LocusTableRefusedTest, FailsWithTheFileAndTheReason)
{
    const BadCase& c = GetParam();
    const auto path = addBook("D3S1358.xls", c.rows);
    try {
        read(path);
        FAIL() << "no error";
    } catch (const LocusReadError& e) {
        const std::string message = e.what();
        EXPECT_EQ(firstLine(message), kReadFailed);
        EXPECT_NE(message.find("\nКнига «D3S1358.xls»: "), std::string::npos) << message;
        EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Worksheet, LocusTableRefusedTest,
    ::testing::Values(
        BadCase{"TextThatIsNoNumber",
                {{"10", 0.5}, {"11", 0.25}, {"12", "abc"}, {"Σ", 1.0}},
                "частота «abc» в ячейке B3 листа «D3S1358-white» — не число"},
        BadCase{"PointInPlaceOfTheComma", {{"10", "0.5"}, {"Σ", 1.0}}, "частота «0.5» в ячейке B1"},
        BadCase{"BadClosingRowFrequency", {{"10", 0.5}, {"Сумма", "итого"}}, "частота «итого» в ячейке B2"},
        BadCase{"OneCell", {{"10"}}, "занятая область A1:A1 имеет один столбец"},
        BadCase{"OneColumn", {{"10"}, {"11"}, {"12"}}, "занятая область A1:A3 имеет один столбец"},
        BadCase{"EmptySheet", {}, "лист «D3S1358-white» пуст"}, BadCase{"OneRow", {{"10", 0.5}}, "нет ни одной аллели"},
        BadCase{"OnlyTheClosingRowLabelled", {{E, 0.5}, {E, E}, {"Сумма", 1.0}}, "нет ни одной аллели"},
        BadCase{"MoreThan100Rows", Rows(101, {"10", 0.01}), "имеет 101 строк"},
        BadCase{"FrequencyAboveOne",
                {{"10", 1.5}, {"Σ", 1.0}},
                "частота 1,5 в ячейке B1 листа «D3S1358-white» лежит вне"},
        BadCase{"NegativeFrequency", {{"10", "-0,1"}, {"Σ", 1.0}}, "частота -0,1 в ячейке B1"},
        BadCase{"NaNFrequency", {{"10", kNaN}, {"Σ", 1.0}}, "в ячейке B1 листа «D3S1358-white» — не конечное число"},
        BadCase{"InfiniteFrequency", {{"10", kInf}, {"Σ", 1.0}}, "не конечное число"},
        BadCase{"ErrorInLabelCell",
                {{CellError{"#REF!"}, 0.5}, {"Σ", 1.0}},
                "ячейка A1 листа «D3S1358-white» не читается: #REF!"},
        BadCase{"DateSerialLabel",
                {{"9", 0.5}, {46090.0, 0.5}, {"Σ", 1.0}},
                "ячейка A2 листа «D3S1358-white»: «46090» — не аллель: это порядковый номер даты 2026-03-09"},
        BadCase{"FormulaWithoutValueInFrequencyCell",
                {{"10", CellError{"формула без сохраненного значения"}}, {"Σ", 1.0}},
                "ячейка B1 листа «D3S1358-white» не читается: формула без сохраненного значения"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LocusLoaderTest, MissingSheetAndUnreadableFileAreReadErrors)
{
    const auto noSheet = dir.touch("data/D5S818.xls");
    reader.add(noSheet, {FakeSheet{"D5S818-black", makeCellArray(kSmallLocus)}});
    const auto broken = dir.touch("data/D7S820.xls");
    reader.failWith(broken, "файл повреждён");

    const std::vector<std::pair<std::filesystem::path, std::string>> cases = {
        {noSheet, "Книга «D5S818.xls»: нет листа «D5S818-white»; листы книги: «D5S818-black»."},
        {broken, "Книга «D7S820.xls»: не читается: файл повреждён."},
        {dir.path() / "data" / "missing.xls", "Книга «missing.xls»: это не обычный файл"},
    };
    for (const auto& [path, reason] : cases) {
        try {
            read(path);
            ADD_FAILURE() << path << ": no error";
        } catch (const LocusReadError& e) {
            EXPECT_EQ(firstLine(e.what()), kReadFailed);
            EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
        }
    }
}

} // namespace
} // namespace freqdb
