// SPDX-License-Identifier: GPL-3.0-or-later
#include "usedrangebuilder.h"

#include <algorithm>
#include <cstdint>

#include "automation/readlimits.h"
#include "automation/workbook.h"

namespace automation {

UsedRangeBuilder::UsedRangeBuilder(std::string where) : m_where(std::move(where)) {}

void UsedRangeBuilder::add(int row, int column, CellValue value)
{
    if (isEmpty(value))
        return;
    if (row < 1 || column < 1 || row > limits::kMaxSheetRow || column > limits::kMaxSheetColumn)
        throw WorkbookError(m_where + ": ячейка вне листа (строка " + std::to_string(row) + ", столбец "
                            + std::to_string(column) + ")");
    if (const auto* s = std::get_if<std::string>(&value)) {
        m_textBytes += s->size();
        if (m_textBytes > limits::kRangeTextBytes)
            throw WorkbookError(m_where + ": слишком много текста на листе");
    }
    if (m_cells.empty()) {
        m_firstRow = m_lastRow = row;
        m_firstColumn = m_lastColumn = column;
    } else {
        m_firstRow = std::min(m_firstRow, row);
        m_lastRow = std::max(m_lastRow, row);
        m_firstColumn = std::min(m_firstColumn, column);
        m_lastColumn = std::max(m_lastColumn, column);
    }
    const int rows = m_lastRow - m_firstRow + 1;
    const int columns = m_lastColumn - m_firstColumn + 1;
    if (rows > limits::kRangeRows || columns > limits::kRangeColumns
        || static_cast<std::int64_t>(rows) * columns > limits::kRangeCells)
        throw WorkbookError(m_where + ": занятая область листа слишком велика (" + cellName(m_firstRow, m_firstColumn)
                            + ":" + cellName(m_lastRow, m_lastColumn) + "; допускается не более "
                            + std::to_string(limits::kRangeRows) + " строк, " + std::to_string(limits::kRangeColumns)
                            + " столбцов и " + std::to_string(limits::kRangeCells) + " ячеек)");
    m_cells.push_back({row, column, std::move(value)});
}

CellArray UsedRangeBuilder::build() const
{
    if (m_cells.empty())
        return {};
    CellArray range(m_lastRow - m_firstRow + 1, m_lastColumn - m_firstColumn + 1, m_firstRow, m_firstColumn);
    for (const Cell& cell : m_cells)
        range.set(cell.row - m_firstRow + 1, cell.column - m_firstColumn + 1, cell.value);
    return range;
}

} // namespace automation
