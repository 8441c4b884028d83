// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A comma-, semicolon- or tab-separated text split into rows of fields. The separator is the one
// of the three that the first 20 lines hold most often (outside quotes), tab before semicolon
// before comma on a tie: a semicolon file with decimal commas has at least as many semicolons.
// Fields may be quoted with '"' (a doubled quote inside is one quote; a quoted field may span
// lines; text after the closing quote is kept, as in `"Иванов" отец`); blanks around a field
// are dropped. Line ends LF, CRLF or CR. Empty lines are skipped.
//
// No Debian CSV library reports the line of each record, which every refusal must name, so this
// small reader is our own.
#include <string_view>

#include "tabletext/tablegrid.h"

namespace tabletext {

struct DelimitedText {
    char separator = ',';
    Grid grid;
    bool complete = true; // false: the text holds more than maxCells fields and was cut there
    // The line of a quoted field whose closing quote never came: the rest of the text is that
    // field, which is what a file cut short or a lone quote in a name looks like. 0: none.
    int unclosedQuoteLine = 0;
    // False when the last row ends without a line end: its last field may have been cut.
    bool lastLineEnded = true;
};

// `separator` 0: the one the first lines hold most often; otherwise that one. Only the first
// `keptRows` rows that are not empty go into the grid; the rest of the text is still read for its
// cells' count, an unclosed quote and its end, so that a reader can look for its header in the
// first rows before the whole text is held as cells.
DelimitedText splitDelimited(std::string_view utf8, std::size_t maxCells, char separator = 0,
                             std::size_t keptRows = static_cast<std::size_t>(-1));

} // namespace tabletext
