// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Recognises the layout of a table by its header and reads it:
//
// - long: a header with a locus, an allele and a frequency column (locus/marker/локус/маркер,
//   allele/аллель, frequency/freq/частота, any case), one row per allele;
// - wide (an allelic ladder, as population databases export it): first column the allele
//   (header "Allele"/"Аллель"/"STR"), one column per locus, an empty cell where the allele was
//   not seen; statistics rows ("N", "Hobs", "PIC", ...) above or below the alleles are skipped;
// - transposed: one row per locus, one column per allele ("10", "9.3", "freq_9.3"), other
//   columns (population, N, statistics) ignored.
//
// In the wide and transposed layouts a frequency of 0 means "not seen". A column named
// population/origin/популяция holds the origin of each row: a table of several origins needs
// `origin` to pick one. The header is looked for in the first rows, so a title line above it
// does no harm. A text's row with more fields than its header (in a comma-separated text, what
// an unquoted decimal comma makes, which the message then says), a long table whose
// frequencies are all 0, a long table with two locus, allele or frequency columns that differ in
// a row, and a transposed one with two locus columns that differ, are refused. Throws
// ImportError (the place without the file name).
#include <optional>
#include <string>

#include "popimport/frequencytable.h"
#include "tabletext/tablegrid.h"
#include "text/numberformat.h"

namespace popimport {

using tabletext::Grid;
using tabletext::GridCell;

// The header is one of the first rows: a title line or two may stand above it.
inline constexpr std::size_t kHeaderSearchRows = 10;

// Whether one of the first rows is a header of a layout above.
bool hasTableHeader(const Grid& grid);

FrequencyTable readGridTable(const Grid& grid, const std::optional<std::string>& origin,
                             const text::NumberFormat& format);

} // namespace popimport
