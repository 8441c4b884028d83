// SPDX-License-Identifier: GPL-3.0-or-later
#include "resultsgrid.h"

#include <algorithm>
#include <utility>

namespace results {
namespace {

const std::string kEmpty;
const RowGenotype kNoGenotype;

bool validCell(int row, int column)
{
    return row >= 0 && row < kRowCount && column >= 0 && column < kColumnCount;
}

bool validDataRow(int row)
{
    return row >= 1 && row <= kLastDataRow;
}

} // namespace

ResultsGrid::ResultsGrid()
{
    WriteHeader();
}

const std::string& ResultsGrid::cell(int row, int column) const
{
    return validCell(row, column) ? m_cells[row][column] : kEmpty;
}

void ResultsGrid::setCell(int row, int column, std::string value)
{
    if (validCell(row, column))
        m_cells[row][column] = std::move(value);
}

void ResultsGrid::setResultCount(std::uint16_t count)
{
    m_resultCount = std::min<std::uint16_t>(count, kLastDataRow);
}

const RowGenotype& ResultsGrid::RowGenotypes(int row) const
{
    return validDataRow(row) ? m_genotypes[row] : kNoGenotype;
}

void ResultsGrid::setRowGenotypes(int row, RowGenotype genotype)
{
    if (validDataRow(row))
        m_genotypes[row] = std::move(genotype);
}

void ResultsGrid::WriteHeader()
{
    for (int c = 0; c < kColumnCount; ++c)
        m_cells[0][c] = std::string(kHeaderTexts[c]);
}

int ResultsGrid::AppendRow(const std::string& locusName, RowGenotype genotype)
{
    if (m_resultCount < kLastDataRow)
        ++m_resultCount;
    const int row = m_resultCount;
    m_genotypes[row] = std::move(genotype);
    for (int c = kColumnFormula; c <= kColumnMark; ++c)
        m_cells[row][c].clear();
    m_cells[row][kColumnLocus] = locusName;
    m_cells[row][kColumnNumber] = std::to_string(row);
    return row;
}

void ResultsGrid::applyOutcome(int row, const engine::LocusOutcome& outcome)
{
    if (!validDataRow(row))
        return;
    auto& cells = m_cells[row];
    for (int c = kColumnFormula; c <= kColumnLr; ++c)
        cells[c].clear();
    cells[kColumnFormula] = outcome.formula;
    cells[kColumnLr] = outcome.lr;
    if (outcome.frequency1)
        cells[kColumnFrequency1] = *outcome.frequency1;
    if (outcome.frequency2)
        cells[kColumnFrequency2] = *outcome.frequency2;
}

bool ResultsGrid::isMarked(int row) const
{
    return cell(row, kColumnMark) == kMark;
}

void ResultsGrid::ToggleMark(int row)
{
    if (!validDataRow(row))
        return;
    m_cells[row][kColumnMark] = isMarked(row) ? std::string() : std::string(kMark);
}

void ResultsGrid::DeleteRow(int row)
{
    const int n = m_resultCount;
    if (row < 1 || row > n)
        return;
    for (int k = row; k < n; ++k) {
        for (int c = kColumnLocus; c < kColumnCount; ++c)
            m_cells[k][c] = std::move(m_cells[k + 1][c]);
        m_genotypes[k] = m_genotypes[k + 1];
    }
    for (auto& c : m_cells[n])
        c.clear();
    m_resultCount = static_cast<std::uint16_t>(n - 1);
}

void ResultsGrid::EmptyAllRows()
{
    const int last = std::min<int>(m_resultCount + 1, kLastDataRow);
    for (int r = 1; r <= last; ++r) {
        for (auto& c : m_cells[r])
            c.clear();
    }
    m_resultCount = 0;
}

} // namespace results
