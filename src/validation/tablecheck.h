// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The state of the frequency tables a validation ran on: per locus the number of alleles, the
// sum of the frequencies and the smallest one, and the warnings a quality manager wants to see
// beside the verdict (they do not fail the validation: the tables are the lab's to judge).
#include <string>
#include <vector>

#include "freqdb/locustable.h"

namespace validation {

struct LocusSummary {
    std::string locus;
    int alleles = 0;
    long double sum = 0;
    long double smallest = 0; // the smallest frequency (0 with no alleles)
    std::string smallestLabel;
    // Every allele as the loader read it, in the table's order: the protocol states them all, so
    // that the signer can hold them against the published table.
    std::vector<std::pair<std::string, long double>> frequencies;
};

struct TableCheck {
    std::vector<LocusSummary> loci;
    std::vector<std::string> warnings; // in Russian, each naming the locus
};

// How far the sum of a locus's frequencies may lie from 1 before it is a warning (the import's
// own bound).
inline constexpr long double kSumTolerance = 0.01L;

// Checks every locus of `table`: a sum further than kSumTolerance from 1; a frequency that is 0,
// negative, above 1 or no number; a frequency below the lab's minimum; an empty label, a label
// given twice (the earlier cannot be chosen), "Нет" as a label, a label that is not an allele
// designation (digits with at most one decimal part: "12", "9,3").
TableCheck checkTables(const freqdb::LocusTable& table);

} // namespace validation
