// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The power of exclusion of a case: how likely a man picked at random would be excluded, given
// the child and (when typed) the mother. It does not depend on the alleged father's alleles, so
// it says how strong the test was whoever the father is.
//
// Per locus (random man not excluded when he carries an allele the child's father could have
// passed on; Hardy-Weinberg): P = the summed frequency of those alleles, PE = (1 - P)^2.
//   trio: the child's paternal obligate allele given the mother (both of the child's alleles
//         when the mother could have given either);
//   duo:  both of the child's alleles (one for a homozygous child).
// A trio whose child shares no allele with the mother has no PE. Combined over the marked loci:
// CPE = 1 - prod(1 - PE). (NRC II, 1996; Fung & Hu, Statistical DNA Forensics, 2008.)
#include <cstdint>
#include <optional>
#include <vector>

#include "freqdb/labsettings.h"
#include "freqdb/locusrecord.h"

namespace engine {

// m1, m2 NoAllele for an untyped mother. Frequencies as the index uses them (indexFrequency);
// nullopt when the mother cannot have given either of the child's alleles, when an index lies
// outside the locus, or when a frequency used is no proportion.
std::optional<long double> exclusionPower(const freqdb::LocusRecord& locus, std::uint8_t m1, std::uint8_t m2,
                                          std::uint8_t c1, std::uint8_t c2, const freqdb::LabSettings& settings);

// 1 - prod(1 - PE) over the values given (the marked rows that have a PE); nullopt for none.
std::optional<long double> combinedExclusionPower(const std::vector<long double>& powers);

} // namespace engine
