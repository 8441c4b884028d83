// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a worksheet cell is: one contract that the .xls, .xlsx and .ods readers keep alike, so a
// table reads the same whichever of the three formats a lab saved it in. A cell is one of
//
//   empty    std::monostate: nothing stored, or only formatting. An empty cell never widens a
//            sheet's used range.
//   number   double: what is stored, whatever its number format shows (a percentage 25% is
//            0.25, a currency, a fraction, a number in the text format "@" stays a number).
//   text     std::string, UTF-8: what is stored, even when it looks like a number ("0,25"
//            typed as text stays text). A formula whose result is the empty text (=IF(…;"";…))
//            is the empty text "", a text cell like any other.
//   date     a number with a date or time format, or a date or time value, is a text:
//            "2026-03-09" for a day, "2023-03-15 08:30:15" for a day with a time of day,
//            "08:30:15" for a time. .xlsx and .xls store the serial day number (46090 for
//            2026-03-09) and the format; .ods the date itself; all three give the same text,
//            so a date never passes for the number of its serial day. (LibreOffice in a
//            Russian locale turns a typed 9.3 into such a date.)
//   boolean  a CellError "логическое значение ИСТИНА" or "логическое значение ЛОЖЬ": nothing the
//            program reads is a boolean, and TRUE must not pass for the number 1.
//   error    a CellError carrying the reason: an error value ("#DIV/0!", "#N/A"; a
//            spreadsheet program's own error without such a code, "ошибка в формуле"), or a
//            formula whose result the file does not hold ("формула без сохраненного
//            значения": xlwt, openpyxl, and writers that ask for recalculation on load).
//
// A caller that needs a cell and finds a CellError fails loudly and names the cell, instead of
// reading it as empty or 0. tests/automation/cellcontract_test.cpp holds all three readers to
// this with one table of cases that LibreOffice wrote in the three formats.
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

// The boolean of the contract.
inline CellValue booleanCell(bool value)
{
    return CellError{value ? "логическое значение ИСТИНА" : "логическое значение ЛОЖЬ"};
}

// The cell as text: a number in general notation with the program's decimal separator
// (9.3 -> "9,3", 10 -> "10"), empty -> "". A CellError gives its reason in angle brackets;
// callers that must not accept such a cell check for it first.
std::string cellText(const CellValue& value, const text::NumberFormat& format);

// "A1"-style name of a cell, 1-based row and column ("B7"), for messages.
std::string cellName(int row, int column);

} // namespace automation
