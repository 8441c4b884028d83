// SPDX-License-Identifier: GPL-3.0-or-later
#include "cellarray.h"

#include <stdexcept>
#include <utility>

namespace automation {
namespace {
const CellValue kEmptyCell;
}

CellArray::CellArray(int rows, int columns, int firstRow, int firstColumn)
    : m_rows(rows > 0 ? rows : 0), m_columns(columns > 0 ? columns : 0), m_firstRow(firstRow),
      m_firstColumn(firstColumn)
{
    m_cells.resize(static_cast<std::size_t>(m_rows) * static_cast<std::size_t>(m_columns));
}

const CellValue& CellArray::at(int row, int column) const
{
    if (row < 1 || row > m_rows || column < 1 || column > m_columns)
        return kEmptyCell;
    return m_cells[static_cast<std::size_t>(row - 1) * m_columns + (column - 1)];
}

void CellArray::set(int row, int column, CellValue value)
{
    if (row < 1 || row > m_rows || column < 1 || column > m_columns)
        throw std::out_of_range("cell outside the array");
    m_cells[static_cast<std::size_t>(row - 1) * m_columns + (column - 1)] = std::move(value);
}

std::string CellArray::sheetCellName(int row, int column) const
{
    return cellName(m_firstRow + row - 1, m_firstColumn + column - 1);
}

} // namespace automation
