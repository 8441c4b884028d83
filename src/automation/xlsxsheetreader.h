// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads the cells of one .xlsx worksheet part into its used range.
//
// Cells read as the contract of cellvalue.h says. Cell types: shared string (t="s"), formula
// text (t="str"), inline string (t="inlineStr", written by openpyxl and by libxlsxwriter's
// constant-memory mode), boolean (t="b"), error (t="e"), ISO date (t="d"), and numbers (t="n" or
// no t); a number whose cell style has a date or time format is that date's text. A formula
// gives its stored result; with no stored result, or when the workbook asks for recalculation on
// load, the cell is a CellError "формула без сохраненного значения", never an empty cell or 0.
// A cell or row without an r attribute follows the one before it.
#include <string>
#include <vector>

#include "automation/cellarray.h"
#include "automation/numberformatkind.h"

namespace automation {

class ZipArchive;

struct XlsxSheetSource {
    const std::vector<std::string>& sharedStrings;
    const std::vector<NumberKind>& cellKinds; // of each cell style, by the s attribute
    bool date1904 = false;
    bool recalculateOnLoad = false;
    std::string where; // «a.xlsx», лист «X»
};

CellArray readXlsxSheet(ZipArchive& zip, const std::string& part, const XlsxSheetSource& source);

} // namespace automation
