// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A rectangle of cell values: a worksheet's used range, rows and columns numbered from 1.
// firstRow()/firstColumn() remember where its top-left cell lies on the sheet (1-based), so a
// message can name the sheet cell of an element.
#include <cstddef>
#include <vector>

#include "automation/cellvalue.h"

namespace automation {

class CellArray {
public:
    CellArray() = default;
    CellArray(int rows, int columns, int firstRow = 1, int firstColumn = 1);

    int rows() const { return m_rows; }
    int columns() const { return m_columns; }
    bool empty() const { return m_rows == 0 || m_columns == 0; }
    int firstRow() const { return m_firstRow; }
    int firstColumn() const { return m_firstColumn; }

    // 1 <= row <= rows(), 1 <= column <= columns(); outside that an empty value.
    const CellValue& at(int row, int column) const;
    void set(int row, int column, CellValue value);

    // The sheet cell name ("C7") of element [row, column].
    std::string sheetCellName(int row, int column) const;

private:
    int m_rows = 0;
    int m_columns = 0;
    int m_firstRow = 1;
    int m_firstColumn = 1;
    std::vector<CellValue> m_cells;
};

} // namespace automation
