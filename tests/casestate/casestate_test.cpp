// SPDX-License-Identifier: GPL-3.0-or-later
// The case behind the window, without a window: which rows may meet, which are stale, what is
// unsaved, the full table and what the recovery file keeps.
#include "casestate/casestate.h"

#include <gtest/gtest.h>

#include "exchange/exchangetesting.h"
#include "results/genotyperow.h"

namespace {

using casestate::CaseState;
using casestate::RecomputeNeed;
using casestate::RowsSource;
using freqdb::Population;

const text::NumberFormat kFormat(",");
const std::array<std::string, 6> kTrio = {"15", "16", "15", "17", "17", "17"}; // LR 2,00 with p(15)=0,25
const std::array<std::string, 6> kDuo = {"16", "16", "16", "17", "Нет", "Нет"};

// A case with the test tables in force and `rows` rows entered, row 1 marked.
CaseState caseWithRows(int rows)
{
    CaseState state(kFormat);
    state.takeTables(exchange::testing::makeTable(), Population::UsCaucasians);
    for (int r = 0; r < rows; ++r)
        state.addRow(1, r % 2 ? kDuo : kTrio);
    if (rows > 0)
        state.toggleMark(1);
    return state;
}

// The rows of `from`, as a load hands them over.
exchange::LoadedResults loadOf(const CaseState& from, Population stated = Population::Unset)
{
    exchange::LoadedResults loaded;
    loaded.ok = true;
    loaded.grid = from.grid();
    loaded.statedPopulation = stated;
    return loaded;
}

TEST(CaseState, RowsOfAnotherPopulationNeverMeetUntilRecomputed)
{
    const CaseState source = caseWithRows(2);
    CaseState state = caseWithRows(0);
    const auto notes = state.take(loadOf(source, Population::UsBlacks), RowsSource::Stored, "black.xlsx", "now");
    EXPECT_EQ(notes.otherPopulation, Population::UsBlacks);
    EXPECT_EQ(state.rowsPopulation(), Population::UsBlacks);
    EXPECT_EQ(state.recoveryContents().population, Population::UsBlacks);
    EXPECT_EQ(state.recomputeNeed().kind, RecomputeNeed::Kind::OtherPopulation);
    state.recompute();
    EXPECT_EQ(state.recomputeNeed().kind, RecomputeNeed::Kind::None);
    EXPECT_EQ(state.rowsPopulation(), Population::UsCaucasians);

    // Deleted one by one: what comes next is computed with the tables in force.
    state.take(loadOf(source, Population::UsBlacks), RowsSource::Stored, "black.xlsx", "now");
    while (state.rowCount() > 0)
        state.deleteRow(1);
    EXPECT_EQ(state.recomputeNeed().kind, RecomputeNeed::Kind::None);
    EXPECT_EQ(state.rowsPopulation(), Population::UsCaucasians);
}

TEST(CaseState, OnlyStoredRowsTheTablesWouldNotGiveAreStale)
{
    CaseState source = caseWithRows(3);
    exchange::LoadedResults edited = loadOf(source, Population::UsCaucasians);
    edited.grid.setCell(2, results::kColumnLr, "9,99");
    {
        CaseState state = caseWithRows(0);
        const auto notes = state.take(edited, RowsSource::Stored, "edited.xlsx", "now");
        EXPECT_EQ(notes.staleRows, std::vector<int>{2});
        const RecomputeNeed need = state.recomputeNeed();
        EXPECT_EQ(need.kind, RecomputeNeed::Kind::OtherTables);
        EXPECT_EQ(need.rows, std::vector<int>{2});
        state.recompute();
        EXPECT_EQ(state.grid().cell(2, results::kColumnLr), source.grid().cell(2, results::kColumnLr));
        EXPECT_EQ(state.recomputeNeed().kind, RecomputeNeed::Kind::None);
    }
    // Rows computed at the load were computed with the tables in force, whatever their texts.
    CaseState computed = caseWithRows(0);
    EXPECT_TRUE(computed.take(edited, RowsSource::Computed, "case.xlsx", "now").staleRows.empty());
    EXPECT_EQ(computed.recomputeNeed().kind, RecomputeNeed::Kind::None);
    // Stored rows as the tables give them are not stale, nor are rows whose verdict says a
    // person was not typed at the locus (a genotyping export's row, saved and loaded back).
    exchange::LoadedResults untyped = loadOf(source, Population::UsCaucasians);
    results::RowGenotype noChild = untyped.grid.RowGenotypes(3);
    noChild.child1.clear();
    noChild.child2.clear();
    untyped.grid.setRowGenotypes(3, noChild);
    untyped.grid.applyOutcome(3, results::evaluateGenotypeRow(computed.table(), "D3S1358", noChild, kFormat));
    EXPECT_EQ(untyped.grid.cell(3, results::kColumnFormula), "Локус не типирован у ребенка");
    CaseState stored = caseWithRows(0);
    EXPECT_TRUE(stored.take(untyped, RowsSource::Stored, "case.xlsx", "now").staleRows.empty());
    EXPECT_EQ(stored.recomputeNeed().kind, RecomputeNeed::Kind::None);
}

TEST(CaseState, UnsavedFollowsChangesSavesAndLoads)
{
    CaseState state = caseWithRows(2);
    EXPECT_TRUE(state.unsaved());
    state.savedInWorkbook();
    EXPECT_FALSE(state.unsaved());
    EXPECT_EQ(state.combine().status, engine::CombinedIndexStatus::Ok);
    EXPECT_TRUE(state.unsaved()) << "a new combined index is not in the workbook";
    EXPECT_FALSE(state.cpiLine().empty());

    const exchange::LoadedResults loaded = loadOf(state, Population::UsCaucasians);
    state.take(loaded, RowsSource::Stored, "case.xlsx", "08.12.2026 10:00");
    EXPECT_FALSE(state.unsaved());
    EXPECT_FALSE(state.changedSinceLoad());
    EXPECT_EQ(state.loadedWorkbook(), "case.xlsx");
    state.toggleMark(2);
    EXPECT_TRUE(state.unsaved());
    EXPECT_TRUE(state.changedSinceLoad());
    EXPECT_TRUE(state.cpiLine().empty()) << "a mark changed: the index belongs to other rows";

    state.take(loaded, RowsSource::Recovered, "recovery-1.xlsx", "now");
    EXPECT_TRUE(state.unsaved()) << "a recovered case is in no workbook";
    EXPECT_TRUE(state.loadedWorkbook().empty());
    state.clear();
    EXPECT_EQ(state.rowCount(), 0);
}

TEST(CaseState, TheHundredthRowIsRefusedAndRow99Stays)
{
    CaseState state = caseWithRows(98);
    EXPECT_FALSE(state.full());
    EXPECT_EQ(state.addRow(2, {"6", "7", "7", "9", "Нет", "Нет"}), 99);
    EXPECT_TRUE(state.full());
    const std::string lastLocus = state.grid().cell(99, results::kColumnLocus);
    EXPECT_EQ(state.addRow(1, kTrio), 0);
    EXPECT_EQ(state.rowCount(), 99);
    EXPECT_EQ(state.grid().cell(99, results::kColumnLocus), lastLocus);
}

TEST(CaseState, RecoveryHoldsRowsLinesPopulationAndPrior)
{
    CaseState state = caseWithRows(2);
    state.setPrior("0,1234");
    ASSERT_EQ(state.combine().status, engine::CombinedIndexStatus::Ok);
    const casestate::RecoveryContents kept = state.recoveryContents();
    EXPECT_EQ(kept.grid, &state.grid());
    EXPECT_EQ(kept.cpiLine, state.cpiLine());
    EXPECT_EQ(kept.probabilityLine, state.probabilityLine());
    EXPECT_NE(kept.probabilityLine.find("0,1234"), std::string::npos) << kept.probabilityLine;
    EXPECT_EQ(kept.population, Population::UsCaucasians);
    EXPECT_EQ(kept.prior, "0,1234");
    // A prior that is no number is set back to 0,5, and that is what is kept.
    state.setPrior("x");
    state.combine();
    EXPECT_EQ(state.recoveryContents().prior, "0,5");
}

} // namespace
