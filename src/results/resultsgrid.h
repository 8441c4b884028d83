// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// ResultsGrid: the results table, 100 rows by 7 text columns. Its cells are the results: every
// other part reads and writes these texts. Beside them it keeps ResultCount (rows 1..ResultCount
// are filled, every row below is empty) and RowGenotypes, the six allele labels behind each row.
#include <array>
#include <cstdint>
#include <string>

#include "engine/evaluatelocus.h"
#include "results/gridtexts.h"

namespace results {

inline constexpr int kRowCount = 100; // row 0 header, rows 1..99 data
inline constexpr int kColumnCount = 7;
inline constexpr int kLastDataRow = 99;

// The six allele labels behind a result row, each at most 5 characters.
struct RowGenotype {
    std::string mother1, mother2, child1, child2, father1, father2;
    // A workbook's genotype cell that could not be split into two labels ("2122", "/7"), kept as
    // it stood so that saving the row again writes the cell's own text; empty for a cell that was
    // split and for a row entered in the window.
    std::string motherCell = {}, childCell = {}, fatherCell = {};
    bool operator==(const RowGenotype&) const = default;
};

class ResultsGrid {
public:
    ResultsGrid(); // empty rows, the header written, ResultCount 0

    // 0 <= row < 100, 0 <= column < 7; anything else reads as empty and writes nothing.
    const std::string& cell(int row, int column) const;
    void setCell(int row, int column, std::string value);

    std::uint16_t ResultCount() const { return m_resultCount; }
    void setResultCount(std::uint16_t count); // clamped to 0..99

    // Entry `row` (1..99) of RowGenotypes; other rows read as empty.
    const RowGenotype& RowGenotypes(int row) const;
    void setRowGenotypes(int row, RowGenotype genotype);

    // Writes the header texts of row 0.
    void WriteHeader();

    // Opens the next result row: ResultCount grows by one, unless it stands at 99, where the
    // new result replaces row 99. The row's genotypes, locus name and number are written, its
    // columns 2..6 emptied (a replaced row starts unmarked, with no stale frequency). Returns
    // the row.
    int AppendRow(const std::string& locusName, RowGenotype genotype);

    // Writes an outcome of EvaluateLocus into columns 2..5 of `row`, after emptying them, so
    // no text of an earlier result stays beside the new one. Columns 0, 1 and 6 are kept.
    void applyOutcome(int row, const engine::LocusOutcome& outcome);

    bool isMarked(int row) const;
    void ToggleMark(int row);

    // Removes filled row `row` (1..ResultCount): rows below move up with their genotypes and
    // marks, column 0 stays, the last row is emptied, ResultCount decreases. Other rows: no-op.
    void DeleteRow(int row);

    // Empties every cell of rows 1..ResultCount + 1 and sets ResultCount to 0; RowGenotypes is
    // left as it is (its entries are no longer in use).
    void EmptyAllRows();

private:
    std::array<std::array<std::string, kColumnCount>, kRowCount> m_cells;
    std::array<RowGenotype, kRowCount> m_genotypes;
    std::uint16_t m_resultCount = 0;
};

} // namespace results
