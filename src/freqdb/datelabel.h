// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An allele label that a spreadsheet program turned into a date. In a Russian locale a typed 9.3
// becomes 9 March; its cell then reads as the date's text ("2026-03-09", automation/cellvalue.h),
// or, where the date format was lost, as the date's serial day number (46090). Neither is an
// allele: kept, it would stand for the allele it replaced, which then reads as never seen. The
// locus workbook loader and the import of a lab's table refuse such a label with this one reason.
#include <optional>
#include <string>
#include <string_view>

#include "text/numberformat.h"

namespace freqdb {

// Whether a number is a whole number in the range of the serial day numbers of dates from 1927
// on (10000 to 2958465, the last day of 9999). Repeat numbers of alleles stay far below.
bool isDateSerial(double number);

// Why a label is refused, "" when it is no date: its text ("«2026-03-09» — дата, а не метка
// аллели: …"), or its number when that is a date's serial day ("«46090» — не аллель: это
// порядковый номер даты 2026-03-09, …"). `labelText` is the cell's text ("" for a number cell),
// `number` the label's number when the caller reads it as one; `format` writes that number.
std::string dateLabelRefusal(std::string_view labelText, std::optional<double> number,
                             const text::NumberFormat& format);

} // namespace freqdb
