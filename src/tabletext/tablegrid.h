// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The cells of a table as it was read, before its layout is known: a delimited text gives texts,
// a worksheet gives texts and numbers. Each row remembers where it came from, so a refusal can
// name the line of the file or the cell of the worksheet.
#include <optional>
#include <string>
#include <vector>

namespace tabletext {

struct GridCell {
    std::string text; // a text cell, trimmed; a number cell's text in general notation
    std::optional<double> number; // set for a worksheet's number cell
    std::string error; // a worksheet cell that cannot be read (a formula without value, #N/A)
    bool empty() const { return text.empty() && !number && error.empty(); }
};

struct GridRow {
    int line = 0; // the file's line, or the sheet's row
    std::vector<GridCell> cells;
};

class Grid {
public:
    // A delimited text: places are "строка N, поле M". A worksheet: "ячейка B7", with its
    // first used column.
    static Grid fromText(std::vector<GridRow> rows, char separator = ',');
    static Grid fromSheet(std::vector<GridRow> rows, int firstColumn);

    const std::vector<GridRow>& rows() const { return m_rows; }
    // The cell of row index r (0-based into rows()), column c (0-based); an empty cell past the end.
    const GridCell& cell(std::size_t r, std::size_t c) const;
    std::size_t width(std::size_t r) const { return m_rows[r].cells.size(); }
    // Where a cell lies, for messages.
    std::string where(std::size_t r, std::size_t c) const;
    std::string whereRow(std::size_t r) const;
    // The field separator of a delimited text; 0 for a worksheet.
    char separator() const { return m_separator; }

private:
    std::vector<GridRow> m_rows;
    bool m_sheet = false;
    char m_separator = 0;
    int m_firstColumn = 1;
};

} // namespace tabletext
