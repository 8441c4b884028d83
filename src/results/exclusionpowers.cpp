// SPDX-License-Identifier: GPL-3.0-or-later
#include "exclusionpowers.h"

#include <algorithm>

#include "engine/exclusionpower.h"
#include "results/genotyperow.h"

namespace results {

namespace {

// The most decimals a power close to 1 is given; closer still, it reads "> 0,99999999999999999".
constexpr int kMostDecimals = 17;

std::string closerToOneThanShown(const text::NumberFormat& format)
{
    return "> 0" + format.decimalSeparator() + std::string(kMostDecimals, '9');
}

} // namespace

std::string exclusionPowerText(long double value, const text::NumberFormat& format)
{
    const std::string text = format.fixed(value, 15, 4);
    const std::optional<long double> shown = format.parse(text);
    // Four decimals, except where they would state what is not so: a power above 0 never reads
    // 0,0000 (it gets the exponent form), and one below 1 never reads 1,0000, a certain exclusion
    // no man escapes. Fifteen loci or more bring the CPE within 0,00005 of 1; it then gets the
    // decimals that tell it from 1 ("0,99999987").
    if (value > 0 && shown == 0.0L)
        return format.scientific(value, 3);
    if (value < 1 && shown == 1.0L) {
        for (int d = 5; d <= kMostDecimals; ++d) {
            std::string longer = format.fixed(value, d + 2, d);
            if (format.parse(longer) < 1.0L)
                return longer;
        }
        return closerToOneThanShown(format);
    }
    return text;
}

ExclusionPowers exclusionPowers(const freqdb::LocusTable& table, const ResultsGrid& grid,
                                const text::NumberFormat& format)
{
    ExclusionPowers out;
    std::vector<long double> marked;
    for (int r = 1; r <= grid.ResultCount(); ++r) {
        // A row without an index was not evaluated (a stated verdict, a failed row): its
        // genotype cells may hold less than was typed, and no PE is given for it.
        std::optional<long double> pe;
        if (!grid.cell(r, kColumnLr).empty())
            pe = rowExclusionPower(table, grid.cell(r, kColumnLocus), grid.RowGenotypes(r));
        out.rows.push_back(pe ? exclusionPowerText(*pe, format) : std::string());
        // The rows the CPI multiplies: marked and with an index.
        if (pe && grid.isMarked(r) && !grid.cell(r, kColumnLr).empty())
            marked.push_back(*pe);
    }
    if (const auto cpe = engine::combinedExclusionPower(marked)) {
        // 1 - prod(1 - PE) is 1 in long double once the product falls below about 1e-19 (29
        // informative loci reach it); it is truly 1 only when a row excludes every man.
        const bool certain = std::any_of(marked.begin(), marked.end(), [](long double pe) { return pe >= 1; });
        out.combined = *cpe >= 1 && !certain ? closerToOneThanShown(format) : exclusionPowerText(*cpe, format);
    }
    return out;
}

} // namespace results
