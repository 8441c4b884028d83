// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Collects the non-empty cells of one worksheet, in any order, and builds its used range: the
// bounding box of those cells. Cells are kept sparse while reading, so a sheet that declares a
// million rows costs only what it really holds; a used range beyond limits:: fails as soon as a
// cell stretches it that far.
#include <string>
#include <vector>

#include "automation/cellarray.h"

namespace automation {

class UsedRangeBuilder {
public:
    // `where` names the workbook and sheet for messages ("«a.xlsx», лист «X»").
    explicit UsedRangeBuilder(std::string where);

    // 1-based sheet row and column. Empty values are ignored; a later value for the same cell
    // replaces the earlier one.
    void add(int row, int column, CellValue value);

    CellArray build() const;

private:
    struct Cell {
        int row;
        int column;
        CellValue value;
    };

    std::string m_where;
    std::vector<Cell> m_cells;
    int m_firstRow = 0;
    int m_lastRow = 0;
    int m_firstColumn = 0;
    int m_lastColumn = 0;
    std::size_t m_textBytes = 0;
};

} // namespace automation
