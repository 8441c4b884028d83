// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file types of the results and genotype workbooks. Results are saved as .xlsx (the
// format the workbook writer produces); any workbook the readers understand can be opened.
#include <QString>

namespace app {

inline constexpr const char* kSaveSuffix = "xlsx";

inline QString saveFilter()
{
    return QStringLiteral("Excel Worksheet (*.xlsx)");
}

inline QString openFilter()
{
    return QStringLiteral("Excel Worksheet (*.xls *.xlsx *.ods)");
}

} // namespace app
