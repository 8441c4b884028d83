// SPDX-License-Identifier: GPL-3.0-or-later
#include "cellvalue.h"

namespace automation {

std::string cellText(const CellValue& value, const text::NumberFormat& format)
{
    if (const auto* s = std::get_if<std::string>(&value))
        return *s;
    if (const auto* d = std::get_if<double>(&value))
        return format.general(*d);
    if (const auto* e = std::get_if<CellError>(&value))
        return "<" + e->reason + ">";
    return {};
}

std::string cellName(int row, int column)
{
    std::string letters;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    return letters + std::to_string(row);
}

} // namespace automation
