// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A walk over the BIFF8 records of an .xls "Workbook" stream for what FreeXL 1.0.6 does not
// give: the stored results of formula cells (FreeXL reads them as empty) and boolean and error
// constants (FreeXL reads them as numbers), and each sheet's declared dimensions, checked before
// FreeXL allocates storage from them.
//
// Formula results: a number, a text (the STRING record that follows), a boolean or an error
// value. A formula whose stored result is the empty text is read as having no result: xlwt
// writes every formula that way and leaves the computing to the spreadsheet program, so the
// text is not what the program shows.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "automation/cellvalue.h"

namespace automation {

struct BiffSheet {
    std::string name; // UTF-8
    std::uint32_t declaredRows = 0;
    std::uint32_t declaredColumns = 0;
    std::map<std::pair<int, int>, CellValue> cells; // 1-based (row, column) -> value
};

// The worksheets of the stream, in workbook order. Throws WorkbookError prefixed with `where`
// when the stream is not BIFF8 or is damaged.
std::vector<BiffSheet> scanBiffWorkbook(std::string_view stream, const std::string& where);

} // namespace automation
