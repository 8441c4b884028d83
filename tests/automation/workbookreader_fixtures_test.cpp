// SPDX-License-Identifier: GPL-3.0-or-later
// The file reader on the committed fixtures: the same workbook written by xlwt (.xls),
// openpyxl, libxlsxwriter (default and constant-memory mode) and LibreOffice (.xlsx, .xls,
// .ods) must give the same cells, except where a writer stored no formula results.
#include <gtest/gtest.h>

#include <clocale>
#include <sys/stat.h>

#include "automation/workbook.h"
#include "testfiles.h"

using namespace automation;
using namespace automationtest;

namespace {

const CellValue kNoResult = CellError{"формула без сохраненного значения"};

struct WriterCase {
    const char* file;
    std::vector<CellValue> formulas; // A2:A5 of "Формулы"
    bool hasPercentSheet;
};

std::string show(const CellValue& v)
{
    if (const auto* s = std::get_if<std::string>(&v))
        return "text \"" + *s + "\"";
    if (const auto* d = std::get_if<double>(&v))
        return "number " + std::to_string(*d);
    if (const auto* e = std::get_if<CellError>(&v))
        return "error <" + e->reason + ">";
    return "empty";
}

const std::vector<WriterCase> kWriters = {
    {"xlwt.xls", {kNoResult, kNoResult, kNoResult, kNoResult}, false},
    {"openpyxl.xlsx", {kNoResult, kNoResult, kNoResult, kNoResult}, false},
    // libxlsxwriter stores results but asks for recalculation on load: they are not trusted.
    {"xlsxwriter.xlsx", {kNoResult, kNoResult, kNoResult, kNoResult}, false},
    {"xlsxwriter-constmem.xlsx", {kNoResult, kNoResult, kNoResult, kNoResult}, false},
    {"libreoffice.xlsx",
     {6.0, std::string("abв"), CellError{"#DIV/0!"}, CellError{"логическое значение ИСТИНА"}},
     true},
    {"libreoffice.xls", {6.0, std::string("abв"), CellError{"#DIV/0!"}, CellError{"логическое значение ИСТИНА"}}, true},
    // LibreOffice stores A1>1 as the number 1 shown as TRUE in .ods: the boolean all the same.
    {"libreoffice.ods", {6.0, std::string("abв"), CellError{"#DIV/0!"}, booleanCell(true)}, true},
};

void PrintTo(const WriterCase& c, std::ostream* os)
{
    *os << c.file;
}

class WriterTest : public ::testing::TestWithParam<WriterCase> {
protected:
    std::unique_ptr<Workbook> open() const { return makeFileWorkbookReader()->open(fixture(GetParam().file)); }
};

TEST_P(WriterTest, DataSheetIsTheOffsetUsedRangeWithNumbersAndTexts)
{
    const auto book = open();
    const int index = book->sheetIndex("Данные");
    ASSERT_EQ(index, 1);
    const CellArray cells = book->usedRange(index);
    ASSERT_EQ(cells.rows(), 5);
    ASSERT_EQ(cells.columns(), 3);
    EXPECT_EQ(cells.firstRow(), 3);
    EXPECT_EQ(cells.firstColumn(), 3);
    EXPECT_EQ(cells.sheetCellName(5, 3), "E7");
    const std::vector<std::vector<CellValue>> expected = {
        {std::string("Аллель"), std::string("Частота"), {}},
        {10.0, 0.125, {}},
        {9.3, std::string("0,25"), {}},
        {std::string("Х-хромосома"), {}, {}},
        {std::string("Итого"), {}, 1.0},
    };
    for (int r = 1; r <= 5; ++r) {
        for (int c = 1; c <= 3; ++c) {
            const CellValue& want = expected[r - 1][c - 1];
            const CellValue& got = cells.at(r, c);
            if (const auto* d = std::get_if<double>(&want); d && std::holds_alternative<double>(got))
                EXPECT_NEAR(std::get<double>(got), *d, 1e-12) << cells.sheetCellName(r, c);
            else
                EXPECT_EQ(show(got), show(want)) << cells.sheetCellName(r, c);
        }
    }
    EXPECT_EQ(cellText(cells.at(3, 1), text::NumberFormat(",")), "9,3");
    EXPECT_EQ(cellText(cells.at(2, 1), text::NumberFormat(",")), "10");
}

TEST_P(WriterTest, EmptySheetGivesEmptyArrayAndMissingSheetIsNotFound)
{
    const auto book = open();
    EXPECT_EQ(book->sheetCount(), GetParam().hasPercentSheet ? 4 : 3);
    EXPECT_EQ(book->sheetName(2), "Пустой");
    EXPECT_TRUE(book->usedRange(2).empty());
    EXPECT_EQ(book->sheetIndex("D3S1358-rus"), 0);
    EXPECT_EQ(book->sheetIndex("данные"), book->sheetIndex("Данные")) << "letter case does not matter";
    EXPECT_EQ(book->sheetIndex("ДАННЫЕ "), 0) << "a trailing blank does";
    EXPECT_THROW(book->usedRange(9), WorkbookError);
}

TEST_P(WriterTest, FormulaCellsGiveTheirStoredResultOrAnError)
{
    const auto book = open();
    const CellArray cells = book->usedRange(book->sheetIndex("Формулы"));
    ASSERT_EQ(cells.rows(), 5);
    EXPECT_EQ(show(cells.at(1, 1)), show(2.0));
    for (int r = 2; r <= 5; ++r)
        EXPECT_EQ(show(cells.at(r, 1)), show(GetParam().formulas[static_cast<std::size_t>(r - 2)])) << "A" << r;
}

TEST_P(WriterTest, PercentCellsAreReadAsNumbers)
{
    if (!GetParam().hasPercentSheet)
        GTEST_SKIP() << "this writer's fixture has no percent sheet";
    const auto book = open();
    const CellArray cells = book->usedRange(book->sheetIndex("Проценты"));
    ASSERT_EQ(cells.rows(), 2);
    EXPECT_EQ(show(cells.at(1, 1)), show(0.25));
    EXPECT_EQ(show(cells.at(2, 1)), show(std::string("текст")));
}

TEST_P(WriterTest, ReadingNeverChangesTheFile)
{
    const fs::path path = fixture(GetParam().file);
    const std::string before = readBytes(path);
    struct stat statBefore {};
    ASSERT_EQ(stat(path.c_str(), &statBefore), 0);
    {
        const auto book = open();
        for (int i = 1; i <= book->sheetCount(); ++i)
            (void)book->usedRange(i);
    }
    struct stat statAfter {};
    ASSERT_EQ(stat(path.c_str(), &statAfter), 0);
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(statAfter.st_mtim.tv_sec, statBefore.st_mtim.tv_sec);
    EXPECT_EQ(statAfter.st_mtim.tv_nsec, statBefore.st_mtim.tv_nsec);
}

INSTANTIATE_TEST_SUITE_P(Writers, WriterTest, ::testing::ValuesIn(kWriters), [](const auto& info) {
    std::string name = info.param.file;
    for (char& c : name)
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
});

// Numbers read with the C library's conversion would give 9 for 9.3 under a decimal-comma locale.
TEST(WorkbookReaderLocale, OdsNumbersReadTheSameUnderADecimalCommaLocale)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "ru_RU.UTF-8"))
        GTEST_SKIP() << "ru_RU.UTF-8 is not installed";
    CellArray cells;
    try {
        cells = makeFileWorkbookReader()->open(fixture("libreoffice.ods"))->usedRange(1);
    } catch (...) {
        std::setlocale(LC_ALL, previous.c_str());
        throw;
    }
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(show(cells.at(3, 1)), show(9.3));
    EXPECT_EQ(show(cells.at(2, 2)), show(0.125));
}

TEST(WorkbookReaderFormat, ContentDecidesNotTheExtension)
{
    TempDir dir;
    fs::copy_file(fixture("libreoffice.ods"), dir / "odd.xls");
    fs::copy_file(fixture("xlwt.xls"), dir / "ODD.XLSX");
    fs::copy_file(fixture("openpyxl.xlsx"), dir / "noextension");
    for (const char* name : {"odd.xls", "ODD.XLSX", "noextension"}) {
        const auto book = makeFileWorkbookReader()->open(dir / name);
        EXPECT_EQ(book->sheetName(1), "Данные") << name;
        EXPECT_EQ(book->usedRange(1).rows(), 5) << name;
    }
}

} // namespace
