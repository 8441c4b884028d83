// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbook.h"

namespace automation {

int Workbook::sheetIndex(std::string_view name) const
{
    const int count = sheetCount();
    for (int i = 1; i <= count; ++i) {
        if (sheetName(i) == name)
            return i;
    }
    return 0;
}

}  // namespace automation
