// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Telling a date from a number by its number format, for the .xls and .xlsx readers, which store
// a date as a serial day number with a date format (.ods stores the date itself). A number whose
// format shows a date or a time becomes the contract's text of that date (cellvalue.h), so all
// three formats give a date-formatted cell the same reading.
#include <string_view>

#include "automation/cellvalue.h"

namespace automation {

// How a number format shows a number: as a number, or as a date, a date and time, or a time.
enum class NumberKind { Plain, Date, DateTime, Time };

// The built-in formats shared by .xls and .xlsx: 14-17 and 22 are dates, 18-21 and 45-47
// times; the others (0-13, 37-44, 48-49) are numbers, percentages, fractions and text.
NumberKind builtInFormatKind(unsigned id);

// A format code shows a date when it has day, month or year parts, a time when it has hours,
// minutes or seconds ('m' is minutes beside hours or seconds). Quoted text, escaped characters
// and bracketed colours, conditions and locales do not count; [h], [mm], [ss] are elapsed time.
NumberKind formatCodeKind(std::string_view code);

// A serial day number shown with `kind`: "2026-03-09", "2023-03-15 08:30:15" or "08:30:15".
// In the 1900 date system day 1 is 1900-01-01 and day 60 the 29 February 1900 that never was;
// from day 61 on the days count from 1899-12-30. In the 1904 system day 0 is 1904-01-01.
// A Plain kind, or a number outside the years 1900-9999, stays a number.
CellValue serialDateValue(double serial, NumberKind kind, bool date1904);

// Whether a text has the form of a date or time cell's text ("2026-03-09",
// "2023-03-15 08:30:15", "08:30:15"): a caller that wants a label or a number can tell a date.
bool isDateText(std::string_view text);

} // namespace automation
