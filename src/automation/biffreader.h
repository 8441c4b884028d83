// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads the cells of an .xls (BIFF8) "Workbook" stream, as taken out of its compound file.
//
// Globals: the worksheet list (BOUNDSHEET), the shared strings (SST with its CONTINUE records),
// the date system (DATEMODE) and the number formats (FORMAT, XF) as far as telling dates from
// numbers. Worksheets: text (LABELSST, LABEL, RSTRING), numbers (NUMBER, RK, MULRK), boolean
// and error constants (BOOLERR) and formula results (FORMULA with the STRING that follows).
//
// Cells read as the contract of cellvalue.h says: a number with a date or time format as its
// text ("2023-03-15", "2023-03-15 08:30:00", "08:30:00"); formula results as a number, a text,
// a boolean or an error value. A formula whose stored result is the empty text is the empty text
// when the workbook names the engine that computed it (a RECALCID record, written by Excel and
// LibreOffice); without one it has no result, since xlwt writes every formula that way and
// leaves the computing to the spreadsheet program.
//
// Every read is bounded by its record and by the stream; every index (shared string, sheet
// offset) is checked; nothing is allocated from a size the bytes do not back.
#include <string>
#include <string_view>
#include <vector>

#include "automation/cellvalue.h"

namespace automation {

struct BiffCell {
    int row; // 1-based
    int column; // 1-based
    CellValue value;
};

struct BiffWorksheet {
    std::string name; // UTF-8
    // In the order they take effect: a later cell at the same place replaces an earlier one.
    std::vector<BiffCell> cells;
};

// The worksheets of the stream, in workbook order. Throws WorkbookError prefixed with `where`
// when the stream is not BIFF8, is encrypted or is damaged.
std::vector<BiffWorksheet> readBiffWorkbook(std::string_view stream, const std::string& where);

} // namespace automation
