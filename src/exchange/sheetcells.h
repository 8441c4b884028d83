// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The first worksheet of a results or genotype workbook, addressed by sheet row and column
// counted from A1 whatever cell its used range starts at, so a sheet whose first row or column
// is empty still reads in its own columns. Cells outside the used range read as empty.
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "automation/workbook.h"
#include "text/numberformat.h"

namespace exchange {

// A cell that holds no showable value (a formula without a cached result, an error value).
class CellFault : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A workbook that cannot be read; what() is the whole operator message (readFailedMessage).
class ReadFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class SheetCells {
public:
    SheetCells(automation::CellArray range, const text::NumberFormat& format);

    // The last used row and column (R and W); 0 for an empty sheet.
    int lastRow() const { return m_lastRow; }
    int lastColumn() const { return m_lastColumn; }

    // The text of sheet cell (row, column), numbers written with the format. Throws CellFault
    // naming the cell when it holds an error instead of a value.
    std::string text(int row, int column) const;

private:
    automation::CellArray m_range;
    const text::NumberFormat& m_format;
    int m_lastRow = 0;
    int m_lastColumn = 0;
};

// The operator message of a failed read: kReadFailed, then the file and the reason.
std::string readFailedMessage(const std::filesystem::path& path, const std::string& reason);

// The rows of a results or genotype sheet that hold the table, and the closing lines under it.
// The closing lines are known by the texts the writer gives them in column B: the CPI line, the
// probability line and the population line, in that order (an empty line is an empty row). The
// table ends above the first of them, and the rows under the population line (a remark or a
// signature typed in below) are no locus rows. A sheet without such lines (typed by hand, or
// lines edited beyond recognition) keeps the rule of its last three rows: they are the closing
// lines, except those down to the last one that names a locus in B and has genotypes in C and D,
// which are locus rows of a sheet typed without closing lines. Blank rows (nothing in A to J)
// are skipped wherever they stand: they are neither numbered nor counted.
struct SheetTable {
    std::vector<int> rows; // the sheet rows of the table's rows, in order
    // The sheet rows of the closing lines recognised by their texts; 0 for a line not found.
    int cpiRow = 0;
    int probabilityRow = 0;
    int populationRow = 0;
    // The lines about a genotyping export right under the population line (kExportLinePrefix);
    // the note on θ among them (freqdb::kThetaNote) is neither kept nor counted.
    std::vector<int> exportLineRows;
    // Rows with something in them under the closing lines (and those lines), not read.
    int rowsAfterClosingLines = 0;
    bool closingLinesFound() const { return cpiRow != 0 || probabilityRow != 0 || populationRow != 0; }
};
SheetTable tableRows(const SheetCells& sheet);

// Of `rows` rows read, how many the table holds (at most 99); `leftOut` gets the rest.
int keptRows(int rows, int& leftOut);

// The text of grid column 0 for result row `row` read from `cell`: the cell's own text, or the
// row's position when the cell is empty, so an unnumbered row still counts as a filled row for
// the combined index (which ends its search at a row without a number).
std::string rowNumberText(std::string cell, int row);

// The path as the window caption shows it: absolute, as the file system names it.
std::string fullPathText(const std::filesystem::path& path);

// Opens `path` and returns its first worksheet. Throws ReadFailure when the file cannot be opened
// or has no worksheet.
SheetCells readFirstSheet(const std::filesystem::path& path, const automation::WorkbookReader& reader,
                          const text::NumberFormat& format);

} // namespace exchange
