// SPDX-License-Identifier: GPL-3.0-or-later
#include "casestate.h"

#include "engine/evaluatelocus.h"
#include "results/genotyperow.h"
#include "results/stalerows.h"
#include "text/shorttext.h"

namespace casestate {

CaseState::CaseState(const text::NumberFormat& format) : m_format(format), m_prior(format.general(0.5L)) {}

void CaseState::takeTables(freqdb::LocusTable table, freqdb::Population population)
{
    m_table = std::move(table);
    m_population = population;
    m_grid.WriteHeader();
    recompute();
}

bool CaseState::full() const
{
    return m_grid.ResultCount() >= results::kLastDataRow;
}

int CaseState::addRow(std::uint8_t locus, const std::array<std::string, 6>& labels)
{
    if (full())
        return 0;
    const freqdb::LocusRecord& record = m_table.record(locus);
    auto index = [&](std::size_t i) { return m_table.AlleleIndexOf(locus, labels[i]); };
    auto cut = [&](std::size_t i) { return text::cutToCharacters(labels[i], text::kMaxLabelChars); };
    const int row = m_grid.AppendRow(text::cutToCharacters(record.Name, text::kMaxLocusNameChars),
                                     {cut(4), cut(5), cut(2), cut(3), cut(0), cut(1)});
    m_grid.applyOutcome(row, engine::EvaluateLocus(record, index(0), index(1), index(4), index(5), index(2), index(3),
                                                   m_format, m_table.settings()));
    rowsChanged();
    return row;
}

bool CaseState::toggleMark(int row)
{
    if (row < 1 || row > m_grid.ResultCount())
        return false;
    m_grid.ToggleMark(row);
    rowsChanged();
    return true;
}

bool CaseState::deleteRow(int row)
{
    if (row < 1 || row > m_grid.ResultCount())
        return false;
    m_grid.DeleteRow(row);
    // With the stored rows all deleted, the rows that come next are the tables' in force.
    if (m_grid.ResultCount() == 0) {
        m_rowsPopulation = freqdb::Population::Unset;
        m_storedRows = false;
    }
    rowsChanged();
    return true;
}

void CaseState::clear()
{
    m_grid.EmptyAllRows();
    m_loadedWorkbook.clear();
    m_loadedSamples.clear();
    m_loadedExportLines.clear();
    m_loadedAt.clear();
    m_rowsPopulation = freqdb::Population::Unset;
    m_storedRows = false;
    rowsChanged();
}

engine::CombinedIndexResult CaseState::combine()
{
    std::vector<engine::CombinedIndexRow> rows;
    for (int row = 1; row <= m_grid.ResultCount(); ++row)
        rows.push_back({m_grid.cell(row, results::kColumnNumber), m_grid.cell(row, results::kColumnLr),
                        m_grid.cell(row, results::kColumnMark)});
    engine::CombinedIndexResult result = engine::CombineIndex(rows, m_prior, m_format);
    if (result.priorReset)
        m_prior = m_format.general(0.5L);
    switch (result.status) {
    case engine::CombinedIndexStatus::Ok:
        m_cpiLine = result.cpiText;
        m_probabilityLine = result.probabilityText;
        m_unsaved = true;
        ++m_revision;
        break;
    case engine::CombinedIndexStatus::Undefined:
        // The probability of the previous combination does not belong beside this CPI.
        m_cpiLine = result.cpiText;
        m_probabilityLine.clear();
        ++m_revision;
        break;
    case engine::CombinedIndexStatus::NoSelection:
    case engine::CombinedIndexStatus::BadPrior:
    case engine::CombinedIndexStatus::BadLr:
        break;
    }
    return result;
}

RecomputeNeed CaseState::recomputeNeed()
{
    RecomputeNeed need;
    if (m_grid.ResultCount() == 0) {
        m_rowsPopulation = freqdb::Population::Unset;
        m_storedRows = false;
        return need;
    }
    if (m_rowsPopulation != freqdb::Population::Unset && m_rowsPopulation != m_population) {
        need.kind = RecomputeNeed::Kind::OtherPopulation;
        need.rowsPopulation = m_rowsPopulation;
        return need;
    }
    if (!m_storedRows)
        return need;
    // Asked for the stored rows still in the table (the operator may have deleted some since).
    need.rows = results::rowsNotFromTables(m_table, m_grid, m_format);
    if (need.rows.empty())
        m_storedRows = false;
    else
        need.kind = RecomputeNeed::Kind::OtherTables;
    return need;
}

void CaseState::recompute()
{
    // Rows are rewritten in place from their locus name and genotypes; numbers, names and marks
    // stay. A row the tables cannot evaluate shows the reason and no LR.
    for (int row = 1; row <= m_grid.ResultCount(); ++row)
        m_grid.applyOutcome(row, results::evaluateGenotypeRow(m_table, m_grid.cell(row, results::kColumnLocus),
                                                              m_grid.RowGenotypes(row), m_format));
    m_rowsPopulation = freqdb::Population::Unset;
    m_storedRows = false;
    rowsChanged();
}

freqdb::Population CaseState::rowsPopulation() const
{
    // Stored rows not recomputed are saved under the population they were computed with.
    return m_rowsPopulation != freqdb::Population::Unset ? m_rowsPopulation : m_population;
}

LoadNotes CaseState::take(const exchange::LoadedResults& loaded, RowsSource source, const std::filesystem::path& path,
                          std::string loadedAt)
{
    m_grid = loaded.grid;
    // A results workbook brings back the result lines of its rows; a genotype workbook none.
    m_cpiLine = loaded.cpiLine;
    m_probabilityLine = loaded.probabilityLine;
    m_loadedSamples = loaded.sourceSamples;
    m_loadedExportLines = loaded.exportLines;
    m_changedSinceLoad = false;
    if (source == RowsSource::Recovered) {
        // The rows are as the ended window had them: from no workbook, and not saved.
        m_loadedWorkbook.clear();
        m_loadedAt.clear();
        m_unsaved = true;
    } else {
        m_loadedWorkbook = path;
        m_loadedAt = std::move(loadedAt);
        m_unsaved = false;
    }
    ++m_revision;
    LoadNotes out;
    out.notes = loaded.notes;
    m_rowsPopulation = freqdb::Population::Unset;
    m_storedRows = false;
    if (source == RowsSource::Computed)
        return out;
    // Stored rows keep the texts they were saved with; the operator must know when they were not
    // computed with the frequencies in force, before saving or reporting them as such.
    if (loaded.statedPopulation != freqdb::Population::Unset && loaded.statedPopulation != m_population) {
        m_rowsPopulation = loaded.statedPopulation;
        out.otherPopulation = loaded.statedPopulation;
        return out;
    }
    out.staleRows = results::rowsNotFromTables(m_table, m_grid, m_format);
    m_storedRows = !out.staleRows.empty();
    return out;
}

RecoveryContents CaseState::recoveryContents() const
{
    return {&m_grid, m_cpiLine, m_probabilityLine, rowsPopulation(), m_prior, m_loadedExportLines};
}

void CaseState::rowsChanged()
{
    m_changedSinceLoad = true;
    m_unsaved = true;
    m_cpiLine.clear();
    m_probabilityLine.clear();
    ++m_revision;
}

} // namespace casestate
