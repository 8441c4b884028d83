// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a worksheet cell holds, as a spreadsheet program shows it: nothing, a text or a number.
// A cell whose value cannot be shown faithfully (a formula without a cached result, an error
// value such as #DIV/0!) is a CellError carrying the reason, so that a caller that needs the
// cell fails loudly and names it instead of reading it as empty or 0.
#include <string>
#include <string_view>
#include <variant>

#include "text/numberformat.h"

namespace automation {

struct CellError {
    std::string reason; // e.g. "формула без сохраненного значения", "#DIV/0!"
    bool operator==(const CellError&) const = default;
};

using CellValue = std::variant<std::monostate, std::string, double, CellError>;

inline bool isEmpty(const CellValue& v)
{
    return std::holds_alternative<std::monostate>(v);
}

// The cell as text: a number in general notation with the program's decimal separator
// (9.3 -> "9,3", 10 -> "10"), empty -> "". A CellError gives its reason in angle brackets;
// callers that must not accept such a cell check for it first.
std::string cellText(const CellValue& value, const text::NumberFormat& format);

// "A1"-style name of a cell, 1-based row and column ("B7"), for messages.
std::string cellName(int row, int column);

} // namespace automation
