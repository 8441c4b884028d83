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

// `p[i]` is the frequency of allele i (entry 0 unused); `a` the mutation constant.
long double pedigreeSum(const std::vector<PedigreePerson>& persons, const std::vector<long double>& p,
                        long double a = 0);

} // namespace validation
