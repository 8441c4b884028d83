// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbook.h"

#include "text/casefold.h"

namespace automation {

// A spreadsheet program finds a worksheet by name regardless of letter case (it never holds two
// names that differ only in case), so a lab's vWA.xls with a sheet "VWA-white" opens there and
// must open here too. An exact match still wins, for workbooks written by tools that allow both.
int Workbook::sheetIndex(std::string_view name) const
{
    const int count = sheetCount();
    for (int i = 1; i <= count; ++i) {
        if (sheetName(i) == name)
            return i;
    }
    const std::string folded = text::foldCase(name);
    for (int i = 1; i <= count; ++i) {
        if (text::foldCase(sheetName(i)) == folded)
            return i;
    }
    return 0;
}

} // namespace automation
