// SPDX-License-Identifier: GPL-3.0-or-later
// The cell contract of automation/cellvalue.h, held against all three readers with one table of
// cases: LibreOffice wrote the one sheet fixtures/cellcontract.fods as .ods, .xlsx and .xls
// (fixtures/make_cellcontract_fixtures.sh), and every reader must give every cell below.
#include <gtest/gtest.h>

#include "automation/workbook.h"
#include "testfiles.h"

using namespace automation;
using namespace automationtest;

namespace {

struct Case {
    const char* what; // column A of the sheet
    CellValue value; // column B as the contract reads it
};

const Case kCases[] = {
    {"число", 10.0},
    {"дробное число", 9.3},
    {"текст", std::string("9,3")},
    {"число в текстовом формате", 12.0},
    {"дата", std::string("2026-03-09")},
    {"дата и время", std::string("2023-03-15 08:30:15")},
    {"время", std::string("08:30:00")},
    {"процент", 0.25},
    {"логическое ИСТИНА", booleanCell(true)},
    {"формула: логическое ЛОЖЬ", booleanCell(false)},
    {"формула: пустой текст", std::string()},
    {"формула: число", 6.0},
    {"формула: текст", std::string("abв")},
    {"формула: ошибка", CellError{"#DIV/0!"}},
    {"формула: дата", std::string("2026-03-09")},
    {"пустая ячейка", std::monostate{}},
    {"последняя строка", std::string("конец")},
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

class CellContract : public ::testing::TestWithParam<const char*> {};

TEST_P(CellContract, EveryReaderGivesEveryCaseAsTheContractSays)
{
    const auto book = makeFileWorkbookReader()->open(fixture(GetParam()));
    ASSERT_EQ(book->sheetCount(), 1);
    const CellArray cells = book->usedRange(1);
    ASSERT_EQ(cells.rows(), static_cast<int>(std::size(kCases)));
    ASSERT_EQ(cells.columns(), 2);
    for (int row = 1; row <= cells.rows(); ++row) {
        const Case& c = kCases[row - 1];
        EXPECT_EQ(show(cells.at(row, 1)), show(std::string(c.what))) << "A" << row;
        EXPECT_EQ(show(cells.at(row, 2)), show(c.value)) << "B" << row << " (" << c.what << ")";
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, CellContract,
                         ::testing::Values("cellcontract.ods", "cellcontract.xlsx", "cellcontract.xls"),
                         [](const auto& info) {
                             std::string name = info.param;
                             return name.substr(name.find('.') + 1);
                         });

} // namespace
