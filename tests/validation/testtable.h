// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Hand-made tables for the validation tests: frequencies that make every index easy to check by
// hand, and two loci with a microvariant and a rare allele for the runs.
#include <utility>
#include <vector>

#include "freqdb/locustable.h"

namespace validationtest {

inline freqdb::LocusRecord makeLocus(const char* name, const std::vector<std::pair<const char*, long double>>& alleles)
{
    freqdb::LocusRecord locus;
    locus.Name = name;
    for (const auto& [label, frequency] : alleles) {
        ++locus.AlleleCount;
        locus.Labels[locus.AlleleCount] = label;
        locus.Frequencies[locus.AlleleCount] = frequency;
    }
    return locus;
}

// 12: 0,1; 13: 0,2; 14: 0,25; 15: 0,05; 16: 0,4 (sum 1).
inline freqdb::LocusRecord handLocus()
{
    return makeLocus("D3S1358", {{"12", 0.1L}, {"13", 0.2L}, {"14", 0.25L}, {"15", 0.05L}, {"16", 0.4L}});
}

inline freqdb::LocusTable runTable(const freqdb::LabSettings& settings)
{
    freqdb::LocusTable table;
    table.setPopulation(freqdb::Population::UsCaucasians);
    table.setLocusCount(2);
    table.replaceRecord(1, handLocus());
    table.replaceRecord(2, makeLocus("FGA", {{"19", 0.05L},
                                             {"20", 0.13L},
                                             {"21", 0.18L},
                                             {"22", 0.2L},
                                             {"22,2", 0.01L},
                                             {"23", 0.15L},
                                             {"24", 0.14L},
                                             {"25", 0.1L},
                                             {"26", 0.037L},
                                             {"30", 0.003L}})); // sums to 1,00
    table.setSettings(settings);
    return table;
}

} // namespace validationtest
