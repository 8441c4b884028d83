// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A second computation of a case's power of exclusion, apart from the engine's closed form: the
// sum, over every genotype a man picked at random can have, of its Hardy-Weinberg probability
// (w(x)^2, 2 w(x) w(y)) when that man is excluded as the child's father. The genotypes range over
// the table's alleles (frequencies as an index uses them, the lab's minimum applied), the case's
// alleles the table lacks, and a remainder "every other allele" with 1 minus their sum. Whether a
// man can be the father is asked of the independent likelihood (independentindex.h): he is
// excluded when he could not have passed on a child's allele, without the mutation model and θ,
// which the power of exclusion leaves out.
#include <optional>

#include "freqdb/labsettings.h"
#include "freqdb/locusrecord.h"
#include "validation/independentindex.h"

namespace validation {

// nullopt when the mother cannot have given the child either allele, or a frequency the sum needs
// does not exist.
std::optional<long double> independentExclusionPower(const freqdb::LocusRecord& locus,
                                                     const freqdb::LabSettings& settings, const PersonLabels& child,
                                                     const std::optional<PersonLabels>& mother);

} // namespace validation
