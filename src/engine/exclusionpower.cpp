// SPDX-License-Identifier: GPL-3.0-or-later
#include "exclusionpower.h"

#include <cmath>

#include "engine/evaluatelocus.h"

namespace engine {

std::optional<long double> exclusionPower(const freqdb::LocusRecord& locus, std::uint8_t m1, std::uint8_t m2,
                                          std::uint8_t c1, std::uint8_t c2, const freqdb::LabSettings& settings)
{
    if (!locus.hasAllele(c1) || !locus.hasAllele(c2))
        return std::nullopt;
    const bool duo = m1 == freqdb::NoAllele || m2 == freqdb::NoAllele;
    if (!duo && (!locus.hasAllele(m1) || !locus.hasAllele(m2)))
        return std::nullopt;
    // The alleles the child may have from its father: those the mother cannot have given it
    // the other one of.
    const auto fromMother = [&](std::uint8_t x) { return duo || x == m1 || x == m2; };
    const bool paternal1 = fromMother(c2); // c1 from the father, c2 from the mother
    const bool paternal2 = fromMother(c1);
    if (!paternal1 && !paternal2)
        return std::nullopt;
    // The set of those alleles: a homozygous child's allele counts once.
    std::vector<std::uint8_t> paternal;
    if (paternal1)
        paternal.push_back(c1);
    if (paternal2 && !(paternal1 && c2 == c1))
        paternal.push_back(c2);
    long double sum = 0;
    for (const std::uint8_t allele : paternal) {
        const long double p = indexFrequency(locus, allele, settings);
        if (!std::isfinite(p) || p < 0)
            return std::nullopt;
        sum += p;
    }
    return (1 - sum) * (1 - sum);
}

std::optional<long double> combinedExclusionPower(const std::vector<long double>& powers)
{
    if (powers.empty())
        return std::nullopt;
    long double notExcluded = 1;
    for (const long double pe : powers)
        notExcluded *= 1 - pe;
    return 1 - notExcluded;
}

} // namespace engine
