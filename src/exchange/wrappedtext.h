// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Row heights for the wrapped texts of the results workbook. Spreadsheet programs do not fit a
// row to its wrapped text when they open a file that gives no height (LibreOffice Calc shows the
// text running over the next row), and never fit merged cells, so the writer gives the heights.
//
// The count is an estimate in characters of the column width (the width unit is the digit of the
// workbook's 11-point font): words fill a line greedily, breaking at blanks (and after a slash
// in a text without blanks), and a word longer than a line breaks inside. Each character counts its advance width in
// DejaVu Sans, the face LibreOffice Calc on a Debian desk prints in place of the workbook's (and wider than the metric
// twin of Calibri that some desks have): for every formula-column text the program writes it gives the lines shown or
// one more (tests in tests/exchange/libreoffice_test.cpp). A line of 15 points is higher than the 12,8 points such a
// line takes.
#include <string_view>

namespace exchange {

// One line of the default 11-point font, in points.
inline constexpr double kLinePoints = 15;

// The number of lines `text` takes in a wrapped cell `columnCharacters` wide; at least 1.
int wrappedLineCount(std::string_view text, double columnCharacters);

} // namespace exchange
