// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One locus of the chosen population: its name, its alleles' labels and frequencies.
// Alleles are numbered from 1 in the order of the locus workbook's rows; entry 0 is unused.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace freqdb {

inline constexpr int kMaxAlleles = 100;
inline constexpr int kMaxLoci = 100;

// The allele number of the list entry "Нет" (the mother was not typed). A locus has at most
// 100 alleles, so it never numbers a real allele.
inline constexpr std::uint8_t NoAllele = 255;
inline constexpr std::string_view kNoAlleleLabel = "Нет";

struct LocusRecord {
    std::string Name; // at most 20 characters
    std::uint8_t AlleleCount = 0; // 0 to 100
    std::array<std::string, kMaxAlleles + 1> Labels; // [1..100], at most 5 characters
    std::array<long double, kMaxAlleles + 1> Frequencies{}; // [1..100], proportions

    // True for 1 <= allele <= AlleleCount: an index that names an allele of this locus.
    bool hasAllele(std::uint8_t allele) const { return allele >= 1 && allele <= AlleleCount; }
};

} // namespace freqdb
