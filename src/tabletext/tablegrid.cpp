// SPDX-License-Identifier: GPL-3.0-or-later
#include "tablegrid.h"

#include "automation/cellvalue.h"

namespace tabletext {

Grid Grid::fromText(std::vector<GridRow> rows, char separator)
{
    Grid grid;
    grid.m_rows = std::move(rows);
    grid.m_separator = separator;
    return grid;
}

Grid Grid::fromSheet(std::vector<GridRow> rows, int firstColumn)
{
    Grid grid;
    grid.m_rows = std::move(rows);
    grid.m_sheet = true;
    grid.m_firstColumn = firstColumn;
    return grid;
}

const GridCell& Grid::cell(std::size_t r, std::size_t c) const
{
    static const GridCell none;
    if (r >= m_rows.size() || c >= m_rows[r].cells.size())
        return none;
    return m_rows[r].cells[c];
}

std::string Grid::where(std::size_t r, std::size_t c) const
{
    const int line = r < m_rows.size() ? m_rows[r].line : 0;
    if (m_sheet)
        return "ячейка " + automation::cellName(line, m_firstColumn + static_cast<int>(c));
    return "строка " + std::to_string(line) + ", поле " + std::to_string(c + 1);
}

std::string Grid::whereRow(std::size_t r) const
{
    const int line = r < m_rows.size() ? m_rows[r].line : 0;
    return "строка " + std::to_string(line);
}

} // namespace tabletext
