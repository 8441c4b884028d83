// SPDX-License-Identifier: GPL-3.0-or-later
// The used-range builder's bounds, the fake reader the other layers test with, and message names.
#include <gtest/gtest.h>

#include "automation/readmessages.h"
#include "automation/usedrangebuilder.h"
#include "support/fakeworkbook.h"

using namespace automation;

namespace {

TEST(UsedRangeBuilder, BoundingBoxOfCellsInAnyOrderLaterValueWins)
{
    UsedRangeBuilder builder("«a.xlsx», лист «S»");
    builder.add(7, 5, 1.0);
    builder.add(3, 3, std::string("x"));
    builder.add(9, 9, std::monostate{}); // empty cells do not widen the range
    builder.add(7, 5, std::string("y"));
    const CellArray cells = builder.build();
    EXPECT_EQ(cells.rows(), 5);
    EXPECT_EQ(cells.columns(), 3);
    EXPECT_EQ(cells.sheetCellName(1, 1), "C3");
    EXPECT_EQ(std::get<std::string>(cells.at(5, 3)), "y");
    EXPECT_TRUE(isEmpty(cells.at(2, 2)));
    EXPECT_TRUE(UsedRangeBuilder("x").build().empty());
}

TEST(UsedRangeBuilder, RangesBeyondTheLimitsFailWithTheirExtent)
{
    struct Case {
        const char* name;
        int row;
        int column;
        const char* extent;
    };
    const Case cases[] = {
        {"TooManyRows", 10001, 1, "A1:A10001"},
        {"TooManyColumns", 1, 1001, "A1:ALM1"},
        {"TooManyCells", 1001, 1000, "A1:ALL1001"},
        {"BeyondTheSheet", 1048577, 1, "строка 1048577"},
    };
    for (const Case& c : cases) {
        UsedRangeBuilder builder("«a.xlsx», лист «S»");
        builder.add(1, 1, 1.0);
        try {
            builder.add(c.row, c.column, 2.0);
            ADD_FAILURE() << c.name;
        } catch (const WorkbookError& e) {
            EXPECT_NE(std::string(e.what()).find(c.extent), std::string::npos) << c.name << ": " << e.what();
            EXPECT_NE(std::string(e.what()).find("лист «S»"), std::string::npos) << c.name;
        }
    }
    UsedRangeBuilder fits("x");
    fits.add(1, 1, 1.0);
    EXPECT_NO_THROW(fits.add(10000, 100, 2.0));
}

TEST(FakeWorkbookReader, ServesSheetsAndFailsLikeFiles)
{
    FakeWorkbookReader reader;
    reader.add("data/TPOX.xls", {{"TPOX-white", makeCellArray({{std::string("8"), 0.5}, {std::string("9")}}, 3, 2)},
                                 {"TPOX-black", {}}});
    reader.failWith("data/bad.xls", "«bad.xls»: файл поврежден");
    const auto book = reader.open("data/TPOX.xls");
    EXPECT_EQ(book->sheetIndex("TPOX-black"), 2);
    const CellArray cells = book->usedRange(1);
    EXPECT_EQ(cells.columns(), 2);
    EXPECT_TRUE(isEmpty(cells.at(2, 2)));
    EXPECT_EQ(cells.sheetCellName(2, 2), "C4");
    EXPECT_THROW(book->usedRange(3), WorkbookError);
    EXPECT_THROW(reader.open("data/none.xls"), WorkbookError);
    try {
        reader.open("data/bad.xls");
        ADD_FAILURE();
    } catch (const WorkbookError& e) {
        EXPECT_STREQ(e.what(), "«bad.xls»: файл поврежден");
    }
    EXPECT_EQ(reader.openCount(), 3);
}

TEST(ReadMessages, InvalidUtf8IsReplaced)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Данные", "Данные"},
        {"\xC4\xE0", "\xEF\xBF\xBD\xEF\xBF\xBD"}, // Windows-1251 bytes
        {"a\xE2\x82", "a\xEF\xBF\xBD\xEF\xBF\xBD"}, // cut sequence
        {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"}, // overlong '/'
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"}, // surrogate
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(validUtf8(input), expected) << input;
}

} // namespace
