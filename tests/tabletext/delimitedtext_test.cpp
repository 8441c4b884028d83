// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabletext/delimitedtext.h"

#include <gtest/gtest.h>

namespace tabletext {
namespace {

// Each of the first `rows` rows as "line: cell|cell|…".
std::string dump(const Grid& grid, std::size_t rows = static_cast<std::size_t>(-1))
{
    std::string out;
    for (std::size_t r = 0; r < grid.rowCount() && r < rows; ++r) {
        out += std::to_string(grid.line(r)) + ":";
        for (std::size_t c = 0; c < grid.width(r); ++c)
            out += (c ? "|" : " ") + grid.cell(r, c).text;
        out += "\n";
    }
    return out;
}

struct Split {
    const char* text;
    const char* rows;
};

// Rows of empty fields are dropped without taking a line's number from the rows after them; a
// quoted field over two lines names its row by the line it starts on.
const Split kSplits[] = {
    {"a;b\n;\n\nc;d\n", "1: a|b\n4: c|d\n"},
    {";;\r\nx;\"y\ny\";z\r\nw", "2: x|y\ny|z\n4: w\n"},
    {"\"p\nq\";1\n ; \n2;\"3\" cm\n", "1: p\nq|1\n4: 2|3 cm\n"},
    {"h1,h2\n\"open\n", "1: h1|h2\n2: open\n\n"},
};

TEST(DelimitedText, RowsKeepTheirLines)
{
    for (const Split& s : kSplits)
        EXPECT_EQ(dump(splitDelimited(s.text, 100).grid), s.rows) << s.text;
}

// The first rows alone say of the whole text what the whole split says: its cells' limit, an
// unclosed quote, its end; the rows kept are the whole split's first.
TEST(DelimitedText, FirstRowsSayWhatTheWholeTextSays)
{
    const char* texts[]
        = {"a;b\n\n;\nc;d\ne;f\ng", "a;b\nc;\"d\ne;f\n", "a,b,c\nd,e,f\ng,h,i\nj,k,l\n", "x\r\ny\rz\r\n"};
    for (const char* text : texts) {
        for (std::size_t maxCells : {5, 100}) {
            const DelimitedText whole = splitDelimited(text, maxCells);
            const DelimitedText first = splitDelimited(text, maxCells, 0, 2);
            EXPECT_EQ(first.separator, whole.separator) << text;
            EXPECT_EQ(first.complete, whole.complete) << text;
            EXPECT_EQ(first.unclosedQuoteLine, whole.unclosedQuoteLine) << text;
            EXPECT_EQ(first.lastLineEnded, whole.lastLineEnded) << text;
            EXPECT_EQ(dump(first.grid), dump(whole.grid, 2)) << text;
        }
    }
}

TEST(Grid, SheetCellsKeepTheirNumbersAndErrors)
{
    Grid grid = Grid::forSheet(2);
    grid.beginRow(3);
    grid.addCell("");
    grid.addError("");
    grid.endRow(); // all empty: dropped
    grid.beginRow(4);
    grid.addNumber(0.5, "0.5");
    grid.addError("#N/A");
    grid.addCell("x");
    grid.endRow();
    ASSERT_EQ(grid.rowCount(), 1u);
    EXPECT_EQ(grid.line(0), 4);
    EXPECT_EQ(grid.cell(0, 0).number, 0.5);
    EXPECT_EQ(grid.cell(0, 1).error, "#N/A");
    EXPECT_FALSE(grid.cell(0, 1).number);
    EXPECT_EQ(grid.cell(0, 2).text, "x");
    EXPECT_TRUE(grid.cell(0, 3).empty());
    EXPECT_TRUE(grid.cell(1, 0).empty());
    EXPECT_EQ(grid.where(0, 1), "ячейка C4");
}

} // namespace
} // namespace tabletext
