// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The power of exclusion of every row of a results table and of its marked rows together, as
// the batch output and the case report give them beside the table (the grid itself shows
// neither). Each row's PE comes from its genotypes and the loaded table, like a recomputation;
// a row without an LR has none.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "freqdb/locustable.h"
#include "results/resultsgrid.h"
#include "text/numberformat.h"

namespace results {

// "Вероятность исключения (Combined Power of Exclusion) CPE=" followed by the CPE.
inline constexpr std::string_view kCpePrefix = "Вероятность исключения (Combined Power of Exclusion) CPE=";

struct ExclusionPowers {
    std::vector<std::string> rows; // [r - 1]: the PE of row r, four decimals, or empty when none
    std::string combined; // the CPE over the marked rows with a PE, four decimals, or empty
    std::string line() const { return combined.empty() ? std::string() : std::string(kCpePrefix) + combined; }
};

ExclusionPowers exclusionPowers(const freqdb::LocusTable& table, const ResultsGrid& grid,
                                const text::NumberFormat& format);

// A PE or CPE as written everywhere: four decimals ("0,7635"); a value below 1 that would read
// 1,0000 gets the decimals that tell it from 1 ("0,99999987", at most 17, beyond them
// "> 0,99999999999999999"), and one above 0 that would read 0,0000 the exponent form ("3,70E-05").
std::string exclusionPowerText(long double value, const text::NumberFormat& format);

} // namespace results
