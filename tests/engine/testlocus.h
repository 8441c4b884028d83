// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A hand-made locus for the engine tests: labels 12..18 and two awkward alleles, with
// frequencies chosen so that every LR is easy to check by hand.
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "freqdb/locusrecord.h"

namespace enginetest {

inline freqdb::LocusRecord makeLocus(const std::vector<std::pair<const char*, long double>>& alleles)
{
    freqdb::LocusRecord locus;
    locus.Name = "D3S1358";
    for (const auto& [label, frequency] : alleles) {
        ++locus.AlleleCount;
        locus.Labels[locus.AlleleCount] = label;
        locus.Frequencies[locus.AlleleCount] = frequency;
    }
    return locus;
}

inline freqdb::LocusRecord standardLocus()
{
    return makeLocus({{"12", 0.1L},
                      {"13", 0.2L},
                      {"14", 0.25L},
                      {"15", 0.05L},
                      {"16", 0.125L},
                      {"18", 0.123L},
                      {"9,3", 0.0004L}, // shows as 0,000
                      {"17", 0.0L}, // a zero frequency
                      {"19", 0.000001L}}); // an LR of a million
}

// The allele number of a label ("Нет" for the mother's "not typed").
inline std::uint8_t allele(const freqdb::LocusRecord& locus, std::string_view label)
{
    if (label == freqdb::kNoAlleleLabel)
        return freqdb::NoAllele;
    for (int i = 1; i <= locus.AlleleCount; ++i) {
        if (locus.Labels[i] == label)
            return static_cast<std::uint8_t>(i);
    }
    return 0;
}

} // namespace enginetest
