// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The likelihoods of one locus of a deficiency case: the child, its mother, the alleged father
// (untyped, or typed as a control) and his relatives — his father and mother, his full brothers
// and sisters, his other children each with their own mother. Two hypotheses:
//
//   Hp: the child is a child of the alleged father and the mother;
//   Hd: the child is a child of the mother and an unrelated man; the alleged father stays in his
//       family with his relatives as they are.
//
// L(H) is the probability of every typed genotype under H, summed over the genotypes of every
// untyped person (the alleged father, his parents, the mothers of his other children, the mother
// of the child when she was not typed). Founders are in Hardy-Weinberg proportions; a parent
// passes either of its alleles with probability 1/2. Untyped persons with no typed descendant
// (an untyped brother) sum to 1 and are left out.
//
// The sum runs over the alleles the typed persons carry plus one lumped "other" allele holding
// the remaining frequency of the locus: 1 less the frequencies of the alleles carried (0 when they
// sum above 1), so that founders' genotypes sum to 1 and an untyped parent passes an allele with
// its frequency, as in the trio's and duo's index, even where a minimum frequency raises the
// table's sum above 1 (the sum of the rest of the table would divide the LR by powers of that
// sum). With the table summing to 1 the two are the same. The lumping is exact: no typed
// person carries an "other" allele, so which one it was never matters, and the proportional
// mutation model moves an allele to j with a probability that depends on j alone, so the lumped
// allele mutates as each of its members does. Work is peeled around the alleged father: his
// parents' side, each of his other children's side, and the child's side are sums of their own,
// joined over his genotypes only.
//
// The mutation model applies to the two transmissions to the child only (from the mother, and
// from the alleged father under Hp or the unrelated man under Hd), as the trio and duo index
// applies it: within the alleged father's family genotypes must fit without mutation.
#include <optional>
#include <utility>
#include <vector>

namespace kinship {

// Two allele numbers of the locus (1-based, as in the locus's table), in any order.
using Genotype = std::pair<int, int>;

struct OtherChild {
    std::optional<Genotype> child; // untyped: contributes nothing
    std::optional<Genotype> mother; // untyped: summed over
};

struct Family {
    std::optional<Genotype> child;
    std::optional<Genotype> mother;
    std::optional<Genotype> allegedFather; // typed only as a control
    std::optional<Genotype> fathersFather;
    std::optional<Genotype> fathersMother;
    std::vector<Genotype> siblings; // his typed full brothers and sisters
    std::vector<OtherChild> otherChildren;
};

struct Likelihoods {
    long double hp = 0; // L(Hp)
    long double hd = 0; // L(Hd)
    // The probability of the typed genotypes of the alleged father's family alone (without the
    // child and its mother): 0 when they cannot be, whatever the child is.
    long double family = 0;
    // The probability of the child's genotype given its mother, its father being an unrelated man:
    // 0 when the typed mother cannot be its mother.
    long double childGivenMother = 0;
};

// `frequencies[i]` is the frequency of allele i of the locus (entry 0 unused), as the index uses
// it; every allele number in `family` lies in 1..size-1. `mutationConstant` is the constant a of
// the proportional model (engine/mutationindex.h): allele i goes to j != i with probability
// a*p(j) and stays with 1 - a + a*p(i); 0 is inheritance without mutation.
Likelihoods pedigreeLikelihoods(const Family& family, const std::vector<long double>& frequencies,
                                long double mutationConstant = 0);

} // namespace kinship
