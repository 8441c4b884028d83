// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A pedigree's likelihood the plainest way there is: the persons listed with their parents, and
// the probability of every typed genotype summed over every untyped person's genotype over the
// whole allele table, one genotype after another, without lumping alleles and without peeling
// (only persons not related at all are summed apart, their likelihoods multiplied).
// Slow (the table's genotypes to the power of the untyped persons), so it is the second
// computation that the pedigree engine is held against, never the engine.
//
// A founder's genotype has Hardy-Weinberg probability p(u)^2 or 2 p(u) p(v) with the frequencies
// as given (they need not sum to 1); a parent passes either of its alleles with probability 1/2,
// through the proportional mutation model when the child is marked `mutates`: allele i becomes
// j != i with a p(j) and stays with 1 - a + a p(i).
#include <optional>
#include <utility>
#include <vector>

namespace validation {

struct PedigreePerson {
    int father = -1; // index of an earlier person; -1 for a founder (then mother is -1 too)
    int mother = -1;
    std::optional<std::pair<int, int>> typed; // two allele numbers 1..n of the table
    bool mutates = false; // its parents pass their alleles through the mutation model
};

// The table the founders of `persons` draw from: each allele a typed person carries with its
// frequency in `p`, every other allele scaled so that they share what those leave of 1 (nothing
// when they sum above 1), or, when no other allele has a frequency, a remainder allele appended
// (n + 1) that holds it. So founders' genotypes sum to 1 and a founder passes a carried allele
// with its frequency, whatever the whole table sums to (a minimum frequency raises it above 1).
std::vector<long double> foundersFrequencies(const std::vector<PedigreePerson>& persons,
                                             const std::vector<long double>& p);

// `p[i]` is the frequency of allele i (entry 0 unused); `a` the mutation constant.
long double pedigreeSum(const std::vector<PedigreePerson>& persons, const std::vector<long double>& p,
                        long double a = 0);

} // namespace validation
