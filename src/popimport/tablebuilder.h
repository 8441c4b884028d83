// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Collects the frequencies a layout reader finds and refuses what no lab table may hold: a
// frequency that is no number or lies outside 0 to 1, an allele given twice for one locus, a
// locus given twice, an empty locus or allele name, a label longer than the program keeps, an
// allele label that is a date or a date's serial day number (a spreadsheet program's reading of a
// typed 9.3), more than 99 alleles. Every refusal throws ImportError with the place the reader gave.
#include <map>
#include <string>
#include <vector>

#include "popimport/frequencytable.h"
#include "tabletext/tablegrid.h"
#include "text/numberformat.h"

namespace popimport {

using tabletext::Grid;
using tabletext::GridCell;

// Numbers in tables come with a decimal point or comma, or in exponent form ("2.59009e-1").
std::optional<double> readDecimal(std::string_view text);

class TableBuilder {
public:
    // Labels are written with `format`'s decimal separator ("9.3" -> "9,3").
    explicit TableBuilder(const text::NumberFormat& format) : m_format(format) {}

    // The locus of that name, added at its first mention. With repeatAllowed false (one column or
    // row per locus) a second mention is refused.
    std::size_t locus(const std::string& name, const std::string& where, bool repeatAllowed);

    // One frequency. With absentWhenZero (ladder and one-row-per-locus layouts) an empty or zero
    // frequency means the allele was not seen and adds nothing.
    void add(std::size_t locus, const GridCell& allele, const std::string& alleleWhere, const GridCell& frequency,
             const std::string& frequencyWhere, bool absentWhenZero);

    FrequencyTable finish(std::string layout);

private:
    struct Entry {
        ImportedAllele allele;
        double order = 0;
        bool numeric = false;
        std::string where;
    };
    struct Locus {
        std::string name;
        std::string where;
        std::vector<Entry> entries;
    };

    const text::NumberFormat& m_format;
    std::vector<Locus> m_loci;
    std::map<std::string, std::size_t> m_byKey;
};

} // namespace popimport
