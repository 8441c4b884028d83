// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A second computation of a locus's paternity index, written apart from the engine so that the
// validation pack can hold the program's results against it. It shares nothing with the engine
// but the locus table and the lab's settings, and uses no closed-form formula: the index is the
// ratio of two pedigree likelihoods, each a sum over the alleles the parents may have passed on.
//
//   L(H) = sum over the child's ordered pairs (j from the father's side, k from the mother's
//          side) of T_father(j) T_mother(k)
//
// A typed parent with alleles x, y passes on j with (K(x, j) + K(y, j)) / 2; an untyped mother or
// a random man passes on a gene of the population: sum over s of w(s) K(s, j). Hp: the alleged
// father is the father; Hd: a random man is. The typed persons' genotype probabilities are the
// same under both hypotheses and cancel, so they are left out.
//
// K is the transmission: K(s, j) = 1 when s = j, 0 otherwise, or with the mutation model the
// proportional model of the help: K(s, j) = a w(j) for j != s, 1 - a + a w(s) for j = s, with
// a = rate / sum of w(k)(1 - w(k)), over the table's alleles normalised to a distribution (a
// remainder allele 1 - sum when the table sums below 1, scaled when above).
//
// The weights w are the table's frequencies with the lab's minimum applied (a frequency below it
// is raised to it; a label the table lacks has it). What the program shows follows from the two
// likelihoods without mutation: no way for the mother to pass on a child's allele is a maternal
// inconsistency; none for the alleged father a paternal one, which the mutation model (when on)
// turns into the index with mutation in both parents.
#include <optional>
#include <string>
#include <string_view>

#include "freqdb/labsettings.h"
#include "freqdb/locusrecord.h"

namespace validation {

struct PersonLabels {
    std::string first;
    std::string second;
};

enum class Finding {
    Index, // an index (plain, or with mutation)
    PaternityInconsistent, // the alleged father cannot have passed on the child's alleles (mutation off)
    MaternityInconsistent, // the mother cannot have passed on either of the child's alleles
    NotComputable, // the likelihoods do not exist (zero frequency, unknown allele, a rate too high)
};

struct IndependentResult {
    Finding finding = Finding::NotComputable;
    long double lr = 0; // Index: the index; PaternityInconsistent: 0
    bool mutation = false; // the index is the one with mutation
    std::string reason; // NotComputable: why, in Russian
};

// The index of a case at `locus`: father and child typed, the mother typed or not (nullopt).
IndependentResult independentIndex(const freqdb::LocusRecord& locus, const freqdb::LabSettings& settings,
                                   const PersonLabels& father, const PersonLabels& child,
                                   const std::optional<PersonLabels>& mother);

// The frequency a likelihood uses for `label` at `locus`: the table's (the last allele of that
// label), raised to the lab's minimum; a label the table lacks has the minimum, or nullopt
// without one.
std::optional<long double> usedFrequency(const freqdb::LocusRecord& locus, const freqdb::LabSettings& settings,
                                         std::string_view label);

} // namespace validation
