// SPDX-License-Identifier: GPL-3.0-or-later
#include "tablegrid.h"

#include "automation/cellvalue.h"

namespace tabletext {

Grid Grid::forText(char separator)
{
    Grid grid;
    grid.m_separator = separator;
    return grid;
}

Grid Grid::forSheet(int firstColumn)
{
    Grid grid;
    grid.m_sheet = true;
    grid.m_firstColumn = firstColumn;
    return grid;
}

void Grid::reserve(std::size_t cells, std::size_t rows, std::size_t textBytes)
{
    m_cells.reserve(cells);
    m_rows.reserve(rows);
    m_texts.reserve(textBytes);
}

void Grid::beginRow(int line)
{
    m_rows.push_back({static_cast<std::uint32_t>(m_cells.size()), line});
    m_rowFilled = false;
}

void Grid::addCell(std::string_view text)
{
    m_cells.push_back({static_cast<std::uint32_t>(m_texts.size()), static_cast<std::uint32_t>(text.size())});
    m_texts.append(text);
    m_rowFilled = m_rowFilled || !text.empty();
}

void Grid::addNumber(double number, std::string_view text)
{
    m_numbers.emplace(m_cells.size(), number);
    addCell(text);
    m_rowFilled = true;
}

void Grid::addError(std::string_view reason)
{
    if (reason.empty()) {
        addCell({});
        return;
    }
    m_errors.emplace(m_cells.size(),
                     Span{static_cast<std::uint32_t>(m_texts.size()), static_cast<std::uint32_t>(reason.size())});
    m_texts.append(reason);
    addCell({});
    m_rowFilled = true;
}

void Grid::endRow()
{
    if (m_rowFilled || m_rows.empty())
        return;
    // The row's cells are all empty texts: no number or error of theirs was kept.
    const Row dropped = m_rows.back();
    m_rows.pop_back();
    m_texts.resize(dropped.firstCell < m_cells.size() ? m_cells[dropped.firstCell].offset : m_texts.size());
    m_cells.resize(dropped.firstCell);
}

std::optional<std::size_t> Grid::index(std::size_t r, std::size_t c) const
{
    if (r >= m_rows.size() || c >= width(r))
        return std::nullopt;
    return m_rows[r].firstCell + c;
}

std::string_view Grid::text(std::size_t r, std::size_t c) const
{
    const auto i = index(r, c);
    if (!i)
        return {};
    return std::string_view(m_texts).substr(m_cells[*i].offset, m_cells[*i].length);
}

GridCell Grid::cell(std::size_t r, std::size_t c) const
{
    GridCell cell;
    const auto i = index(r, c);
    if (!i)
        return cell;
    cell.text = text(r, c);
    if (!m_sheet)
        return cell;
    if (const auto n = m_numbers.find(*i); n != m_numbers.end())
        cell.number = n->second;
    if (const auto e = m_errors.find(*i); e != m_errors.end())
        cell.error = m_texts.substr(e->second.offset, e->second.length);
    return cell;
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
