// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The case the window shows: its rows and their marks, the two result lines and the prior, the
// tables and settings in force with their population, what the rows were computed with, where
// they came from and whether they are saved. The window turns the operator's commands into calls
// here and shows the result; the rules live here, where they are tested without a screen:
//
// - Rows computed with another population's frequencies never meet rows of the chosen one in an
//   index or a report, nor do rows computed with other tables or settings of the same population:
//   before such a command recomputeNeed() names them, and the command goes on only after
//   recompute() (the window asks the operator first).
// - A row is stale only when what it was computed with differs from what is in force. Rows
//   entered, or computed at a load (a genotype workbook, a genotyping export), are computed with
//   the tables in force; new tables recompute every row. Only rows whose texts come from a file
//   (a results workbook, a recovery file) can be stale: those the tables in force would not give.
// - The table holds 99 rows: a hundredth is refused, and row 99 stays.
// - Every change of the rows or their marks empties the result lines, so a combined index never
//   stands beside rows it was not formed from; it also makes the case unsaved.
// - The recovery file holds the rows, the result lines, the rows' population and the prior.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/combinedindex.h"
#include "exchange/loadedresults.h"
#include "freqdb/locustable.h"
#include "freqdb/population.h"
#include "results/resultsgrid.h"
#include "text/numberformat.h"

namespace casestate {

// How the rows of a load came to be, which says what they were computed with.
enum class RowsSource {
    Computed, // evaluated at the load with the tables in force (a genotype workbook, an export)
    Stored, // the texts a results workbook stored, computed with tables it does not name
    Recovered, // the texts of a recovery file: stored, and not saved in a workbook
};

// What must happen before the rows may meet new rows, a product or a report.
struct RecomputeNeed {
    enum class Kind { None, OtherPopulation, OtherTables };
    Kind kind = Kind::None;
    freqdb::Population rowsPopulation = freqdb::Population::Unset; // OtherPopulation: theirs
    std::vector<int> rows; // OtherTables: the rows the tables in force would not give
};

// What a load tells the operator beside the new table.
struct LoadNotes {
    std::vector<std::string> notes; // the reader's own notes
    freqdb::Population otherPopulation = freqdb::Population::Unset; // rows of another population
    std::vector<int> staleRows; // rows of this population the tables in force would not give
};

// What the recovery file keeps of the case.
struct RecoveryContents {
    const results::ResultsGrid* grid = nullptr;
    std::string cpiLine;
    std::string probabilityLine;
    freqdb::Population population = freqdb::Population::Unset; // the rows'
    std::string prior; // the prior field as typed
    std::vector<std::string> exportLines; // the loaded rows' genotyping export, as a saved workbook has them
};

class CaseState {
public:
    explicit CaseState(const text::NumberFormat& format);

    // The tables in force and the population they belong to.
    const freqdb::LocusTable& table() const { return m_table; }
    freqdb::Population population() const { return m_population; }
    // Newly loaded tables: every row is recomputed with them.
    void takeTables(freqdb::LocusTable table, freqdb::Population population);

    const results::ResultsGrid& grid() const { return m_grid; }
    int rowCount() const { return m_grid.ResultCount(); }
    // 99 rows: the next is refused, so the last row is never overwritten.
    bool full() const;
    // A row entered in the window: the six labels in the order father 1, father 2, child 1,
    // child 2, mother 1, mother 2, of locus `locus` (1..LocusCount) of the tables in force.
    // Returns the new row's number, 0 when the table is full.
    int addRow(std::uint8_t locus, const std::array<std::string, 6>& labels);
    // Toggles the mark of filled row `row`; false for any other row.
    bool toggleMark(int row);
    // Deletes filled row `row`; false for any other row.
    bool deleteRow(int row);
    // Empties the table and forgets the workbook it came from.
    void clear();

    // The result lines ("Перемножить" forms them; loads and recovery bring them back).
    const std::string& cpiLine() const { return m_cpiLine; }
    const std::string& probabilityLine() const { return m_probabilityLine; }
    // The prior field's text.
    const std::string& prior() const { return m_prior; }
    void setPrior(std::string prior) { m_prior = std::move(prior); }
    // Multiplies the marked rows with the prior; the lines change as the result says (a prior
    // out of range is set back to 0,5 first).
    engine::CombinedIndexResult combine();

    // Before rows meet others: what must be recomputed first.
    RecomputeNeed recomputeNeed();
    // Recomputes every row with the tables in force; numbers, names and marks stay.
    void recompute();
    // The population the rows were computed with: a stored workbook's until recomputed.
    freqdb::Population rowsPopulation() const;

    // Takes a successful load (loaded.ok) of `path` in place of the table.
    LoadNotes take(const exchange::LoadedResults& loaded, RowsSource source, const std::filesystem::path& path,
                   std::string loadedAt);

    // Where the rows came from, for the report and the save dialog: the workbook (empty when
    // none), when it was loaded, a genotyping export's samples, and whether the rows or their
    // marks changed since.
    const std::filesystem::path& loadedWorkbook() const { return m_loadedWorkbook; }
    const std::string& loadedAt() const { return m_loadedAt; }
    const std::string& loadedSamples() const { return m_loadedSamples; }
    // What a genotyping export said beyond the rows (its file, samples, markers left out), kept
    // through a save and into the report.
    const std::vector<std::string>& loadedExportLines() const { return m_loadedExportLines; }
    bool changedSinceLoad() const { return m_changedSinceLoad; }

    // Changed since the last workbook save or load (a recovered case is unsaved).
    bool unsaved() const { return m_unsaved; }
    // The rows went into a workbook.
    void savedInWorkbook() { m_unsaved = false; }

    RecoveryContents recoveryContents() const;
    // Grows with every change the recovery file must follow (rows, marks, result lines, a load).
    std::uint64_t revision() const { return m_revision; }

private:
    // Every change of the rows or their marks passes here.
    void rowsChanged();

    const text::NumberFormat& m_format;
    freqdb::LocusTable m_table;
    freqdb::Population m_population = freqdb::Population::Unset;
    results::ResultsGrid m_grid;
    std::string m_cpiLine;
    std::string m_probabilityLine;
    std::string m_prior;
    // A stored workbook's population, when it is not the one in force and the rows were not
    // recomputed since; Unset otherwise.
    freqdb::Population m_rowsPopulation = freqdb::Population::Unset;
    // Stored rows of the population in force may be stale until recomputed.
    bool m_storedRows = false;
    std::filesystem::path m_loadedWorkbook;
    std::string m_loadedAt;
    std::string m_loadedSamples;
    std::vector<std::string> m_loadedExportLines;
    bool m_changedSinceLoad = false;
    bool m_unsaved = false;
    std::uint64_t m_revision = 0;
};

} // namespace casestate
