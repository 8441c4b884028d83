// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Allele labels as exports write them. One allele per cell in the long layouts and in the wide
// layout with two columns per marker; both alleles in one cell ("15/16", "15,16", "15 16",
// "15;16", "15, 16") in the wide layout with one column per marker. A comma between a whole
// number and one digit from 1 to 4 not above it ("9,3", "2,2") is a decimal comma, as in the
// microvariant 9.3; between two alleles ("6,9", "8,9") it separates them. A comma that may be
// either ("2,2,13": 2,2 and 13, or 2, 2 and 13) gives the cell more than one reading; the
// locus's table decides between them (profilecase.h). "NA" (how R writes an empty call), "N/A",
// "-" and an empty cell are no call.
#include <string>
#include <string_view>
#include <vector>

namespace profiles {

// "NA", "N/A", "-" or nothing: the program made no call.
bool isNoCall(std::string_view cell);

// The label in the program's form: blanks trimmed, a decimal point written as a comma; empty for
// no call.
std::string alleleLabel(std::string_view cell);

// The readings of a cell that holds all alleles of a marker, each its distinct labels in order:
// first the one that takes every comma it can as a decimal comma ("2,2, 13": 2,2 and 13), then
// the others ("2,2,13" also reads 2 and 13). None for a cell without a call.
std::vector<std::vector<std::string>> alleleCellReadings(std::string_view cell);

// The first of those readings; none for a cell without a call.
std::vector<std::string> splitAlleleCell(std::string_view cell);

// "OL", "off-ladder", "OMR" (outside the marker's range), "<8", ">33": an allele outside the
// allelic ladder, not a label of any frequency table.
bool isOffLadder(std::string_view label);

// "15", "9,3", "9.3": a number of repeats, which a table may lack (a rare allele, given the
// minimum frequency when the lab sets one). Anything else ("?", "F", "15,16" in one allele's
// cell) is no allele call.
bool isRepeatNumber(std::string_view label);

// Adds `label` to `alleles` unless it is there already (a homozygote written twice).
void addAllele(std::vector<std::string>& alleles, std::string label);

} // namespace profiles
