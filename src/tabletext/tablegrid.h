// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The cells of a table as it was read, before its layout is known: a delimited text gives texts,
// a worksheet gives texts and numbers. Each row remembers where it came from, so a refusal can
// name the line of the file or the cell of the worksheet.
//
// A text of a few megabytes holds millions of short cells, so the grid keeps all texts in one
// string and each cell as its place in it; a cell is handed out as a value built on demand.
// Numbers and errors are kept only for the worksheet cells that have them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tabletext {

struct GridCell {
    std::string text; // a text cell, trimmed; a number cell's text in general notation
    std::optional<double> number; // set for a worksheet's number cell
    std::string error; // a worksheet cell that cannot be read (a formula without value, #N/A)
    bool empty() const { return text.empty() && !number && error.empty(); }
};

class Grid {
public:
    // A delimited text: places are "строка N, поле M". A worksheet: "ячейка B7", with its
    // first used column.
    static Grid forText(char separator = ',');
    static Grid forSheet(int firstColumn);

    // Room for what a text is about to fill, so that the grid's arrays are not copied as they
    // grow: at most that many cells and rows, and that many bytes of text.
    void reserve(std::size_t cells, std::size_t rows, std::size_t textBytes);
    // Filling, row by row: a row begun, its cells added left to right, then ended. A row whose
    // cells are all empty is dropped when it ends.
    void beginRow(int line);
    void addCell(std::string_view text);
    void addNumber(double number, std::string_view text);
    void addError(std::string_view reason);
    void endRow();

    std::size_t rowCount() const { return m_rows.size(); }
    // The file's line, or the sheet's row, of row index r (0-based).
    int line(std::size_t r) const { return m_rows[r].line; }
    // The cell of row index r, column c (0-based); an empty cell past the end.
    GridCell cell(std::size_t r, std::size_t c) const;
    // The text alone, without building a cell.
    std::string_view text(std::size_t r, std::size_t c) const;
    std::size_t width(std::size_t r) const { return cellEnd(r) - m_rows[r].firstCell; }
    // Where a cell lies, for messages.
    std::string where(std::size_t r, std::size_t c) const;
    std::string whereRow(std::size_t r) const;
    // The field separator of a delimited text; 0 for a worksheet.
    char separator() const { return m_separator; }

private:
    struct Span {
        std::uint32_t offset;
        std::uint32_t length;
    };
    struct Row {
        std::uint32_t firstCell; // the readers keep a table within a few million cells
        int line;
    };
    std::size_t cellEnd(std::size_t r) const
    {
        return r + 1 < m_rows.size() ? m_rows[r + 1].firstCell : m_cells.size();
    }
    // The index into m_cells of a cell, or nullopt past the row's end.
    std::optional<std::size_t> index(std::size_t r, std::size_t c) const;

    std::string m_texts; // every cell's text, one after another
    std::vector<Span> m_cells; // row after row
    std::vector<Row> m_rows;
    std::unordered_map<std::size_t, double> m_numbers; // by index into m_cells
    std::unordered_map<std::size_t, Span> m_errors;
    bool m_rowFilled = false; // the row being filled has a cell that is not empty
    bool m_sheet = false;
    char m_separator = 0;
    int m_firstColumn = 1;
};

} // namespace tabletext
