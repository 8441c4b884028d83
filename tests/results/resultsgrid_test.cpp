// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/resultsgrid.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

using results::ResultsGrid;
using results::RowGenotype;

RowGenotype genotypeOf(int k)
{
    const std::string s = std::to_string(k);
    return {"m" + s, "m" + s, "c" + s, "c" + s, "f" + s, "f" + s};
}

engine::LocusOutcome indexOutcome(const std::string& formula, const std::string& lr, bool twoFrequencies)
{
    engine::LocusOutcome out;
    out.verdict = engine::Verdict::Index;
    out.formula = formula;
    out.frequency1 = "p(12)=0,100";
    if (twoFrequencies)
        out.frequency2 = "p(14)=0,250";
    out.lr = lr;
    return out;
}

engine::LocusOutcome paternityExcluded()
{
    engine::LocusOutcome out;
    out.verdict = engine::Verdict::PaternityExcluded;
    out.formula = "Отцовство исключается";
    out.lr = "0";
    return out;
}

// n rows, row k: locus "L<k>", formula "F<k>", LR "<k>,00", genotypes of k; even rows marked.
ResultsGrid filled(int n)
{
    ResultsGrid grid;
    for (int k = 1; k <= n; ++k) {
        const int row = grid.AppendRow("L" + std::to_string(k), genotypeOf(k));
        grid.applyOutcome(row, indexOutcome("F" + std::to_string(k), std::to_string(k) + ",00", k % 2 == 1));
        if (k % 2 == 0)
            grid.ToggleMark(row);
    }
    return grid;
}

std::array<std::string, 7> rowOf(const ResultsGrid& grid, int row)
{
    std::array<std::string, 7> r;
    for (int c = 0; c < 7; ++c)
        r[c] = grid.cell(row, c);
    return r;
}

bool rowEmpty(const ResultsGrid& grid, int row)
{
    for (const auto& c : rowOf(grid, row)) {
        if (!c.empty())
            return false;
    }
    return true;
}

TEST(ResultsGrid, StartsWithTheHeaderAndNoRows)
{
    const ResultsGrid grid;
    EXPECT_EQ(grid.ResultCount(), 0);
    const std::array<std::string, 7> header
        = {"№", "  Локус", " Формула", "Частота аллеля", "Частота аллеля", " LR", "Выбрать"};
    EXPECT_EQ(rowOf(grid, 0), header);
    EXPECT_TRUE(rowEmpty(grid, 1));
}

TEST(ResultsGrid, AppendWritesNumberLocusAndGenotypes)
{
    ResultsGrid grid = filled(2);
    EXPECT_EQ(grid.ResultCount(), 2);
    EXPECT_EQ(rowOf(grid, 1), (std::array<std::string, 7>{"1", "L1", "F1", "p(12)=0,100", "p(14)=0,250", "1,00", ""}));
    EXPECT_EQ(rowOf(grid, 2), (std::array<std::string, 7>{"2", "L2", "F2", "p(12)=0,100", "", "2,00", "++"}));
    EXPECT_EQ(grid.RowGenotypes(2), genotypeOf(2));
}

TEST(ResultsGrid, Row99IsReplacedUnmarkedWithoutStaleTexts)
{
    ResultsGrid grid = filled(99);
    ASSERT_EQ(grid.ResultCount(), 99);
    grid.ToggleMark(99);
    ASSERT_TRUE(grid.isMarked(99)); // row 99 (odd) has two frequencies and now a mark
    const int row = grid.AppendRow("New", genotypeOf(100));
    EXPECT_EQ(row, 99);
    EXPECT_EQ(grid.ResultCount(), 99);
    grid.applyOutcome(row, paternityExcluded());
    EXPECT_EQ(rowOf(grid, 99), (std::array<std::string, 7>{"99", "New", "Отцовство исключается", "", "", "0", ""}));
    EXPECT_EQ(grid.RowGenotypes(99), genotypeOf(100));
    EXPECT_EQ(rowOf(grid, 98)[1], "L98");
}

TEST(ResultsGrid, NewOutcomeEmptiesTheOldOnesColumns)
{
    ResultsGrid grid = filled(1);
    grid.ToggleMark(1);
    grid.applyOutcome(1, indexOutcome("1/2p(12)", "5,00", false));
    EXPECT_EQ(rowOf(grid, 1), (std::array<std::string, 7>{"1", "L1", "1/2p(12)", "p(12)=0,100", "", "5,00", "++"}));
    engine::LocusOutcome failed;
    failed.formula = "LR не вычисляется: частота аллеля 12 равна 0";
    grid.applyOutcome(1, failed);
    EXPECT_EQ(rowOf(grid, 1), (std::array<std::string, 7>{"1", "L1", failed.formula, "", "", "", "++"}));
}

TEST(ResultsGrid, ToggleMark)
{
    ResultsGrid grid = filled(1);
    grid.ToggleMark(1);
    EXPECT_EQ(grid.cell(1, 6), "++");
    grid.ToggleMark(1);
    EXPECT_EQ(grid.cell(1, 6), "");
    grid.setCell(1, 6, "x"); // anything but "++" counts as unmarked
    EXPECT_FALSE(grid.isMarked(1));
    grid.ToggleMark(1);
    EXPECT_TRUE(grid.isMarked(1));
    grid.ToggleMark(0);
    EXPECT_EQ(grid.cell(0, 6), "Выбрать");
}

TEST(ResultsGrid, DeleteMiddleRowMovesRowsUpButNotTheirNumbers)
{
    ResultsGrid grid = filled(4);
    grid.DeleteRow(2);
    EXPECT_EQ(grid.ResultCount(), 3);
    EXPECT_EQ(rowOf(grid, 1), (std::array<std::string, 7>{"1", "L1", "F1", "p(12)=0,100", "p(14)=0,250", "1,00", ""}));
    EXPECT_EQ(rowOf(grid, 2), (std::array<std::string, 7>{"2", "L3", "F3", "p(12)=0,100", "p(14)=0,250", "3,00", ""}));
    EXPECT_EQ(rowOf(grid, 3), (std::array<std::string, 7>{"3", "L4", "F4", "p(12)=0,100", "", "4,00", "++"}));
    EXPECT_TRUE(rowEmpty(grid, 4));
    EXPECT_EQ(grid.RowGenotypes(2), genotypeOf(3));
    EXPECT_EQ(grid.RowGenotypes(3), genotypeOf(4));
}

TEST(ResultsGrid, DeleteLastRow)
{
    ResultsGrid grid = filled(3);
    grid.DeleteRow(3);
    EXPECT_EQ(grid.ResultCount(), 2);
    EXPECT_TRUE(rowEmpty(grid, 3));
    EXPECT_EQ(rowOf(grid, 2)[1], "L2");
}

TEST(ResultsGrid, DeleteOnlyRowThenAppendAgain)
{
    ResultsGrid grid = filled(1);
    grid.DeleteRow(1);
    EXPECT_EQ(grid.ResultCount(), 0);
    EXPECT_TRUE(rowEmpty(grid, 1));
    EXPECT_EQ(grid.AppendRow("Again", genotypeOf(7)), 1);
    EXPECT_EQ(grid.cell(1, 0), "1");
}

TEST(ResultsGrid, DeleteOutsideTheFilledRowsDoesNothing)
{
    ResultsGrid grid = filled(2);
    for (int row : {0, 3, 99, -1, 100})
        grid.DeleteRow(row);
    EXPECT_EQ(grid.ResultCount(), 2);
    EXPECT_EQ(rowOf(grid, 2)[1], "L2");
    EXPECT_EQ(grid.cell(0, 1), "  Локус");
}

TEST(ResultsGrid, DeleteRowAt99)
{
    ResultsGrid grid = filled(99);
    grid.DeleteRow(1);
    EXPECT_EQ(grid.ResultCount(), 98);
    EXPECT_EQ(rowOf(grid, 98)[1], "L99");
    EXPECT_EQ(rowOf(grid, 98)[0], "98");
    EXPECT_TRUE(rowEmpty(grid, 99));
}

TEST(ResultsGrid, EmptyAllRowsIncludingTheOneBelow)
{
    ResultsGrid grid = filled(3);
    grid.setCell(4, 2, "left over");
    grid.setCell(5, 2, "further down");
    grid.EmptyAllRows();
    EXPECT_EQ(grid.ResultCount(), 0);
    for (int row = 1; row <= 4; ++row)
        EXPECT_TRUE(rowEmpty(grid, row)) << row;
    EXPECT_EQ(grid.cell(5, 2), "further down"); // only rows 1..ResultCount + 1
    EXPECT_EQ(grid.RowGenotypes(2), genotypeOf(2));
    EXPECT_EQ(grid.cell(0, 0), "№");
}

TEST(ResultsGrid, EmptyAllRowsWhenEmptyOrFull)
{
    ResultsGrid empty;
    empty.setCell(1, 1, "x");
    empty.setCell(2, 1, "y");
    empty.EmptyAllRows();
    EXPECT_TRUE(rowEmpty(empty, 1));
    EXPECT_EQ(empty.cell(2, 1), "y");

    ResultsGrid full = filled(99);
    full.EmptyAllRows();
    EXPECT_EQ(full.ResultCount(), 0);
    EXPECT_TRUE(rowEmpty(full, 99));
}

TEST(ResultsGrid, OutOfRangeCellsReadEmptyAndIgnoreWrites)
{
    ResultsGrid grid;
    grid.setCell(100, 0, "x");
    grid.setCell(1, 7, "x");
    grid.setCell(-1, 0, "x");
    EXPECT_EQ(grid.cell(100, 0), "");
    EXPECT_EQ(grid.cell(1, 7), "");
    grid.setResultCount(500);
    EXPECT_EQ(grid.ResultCount(), 99);
    EXPECT_EQ(grid.RowGenotypes(0), RowGenotype{});
    EXPECT_EQ(grid.RowGenotypes(150), RowGenotype{});
}

} // namespace
