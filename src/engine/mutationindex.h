// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The paternity index of a locus with mutation, for a row whose genotypes exclude the alleged
// father without it. The proportional model: a parent's allele i is transmitted as j != i with
// probability a*p(j) and kept with 1 - a + a*p(i), where a = rate / sum over the locus's alleles
// of p(k)(1 - p(k)), so that the mean mutation probability per transmission is the rate. The
// frequencies must sum to 1 for the model to hold: a table summing below 1 gets a remainder
// allele holding 1 - sum (it enters the sum for a, never a genotype); one summing above 1 is
// scaled to 1 for this computation.
//
// Both parents mutate at the same rate. Hp: the child's alleles came from the mother (typed,
// or a random woman in a duo) and the alleged father; Hd: from the mother and a random man.
// Frequencies under Hardy-Weinberg; a random person transmits allele j with probability p(j).
//
//   trio, child ab: LR = [Tm(a)Tf(b) + Tm(b)Tf(a)] / [Tm(a)p(b) + Tm(b)p(a)]; child aa: Tf(a)/p(a)
//   duo, child ab:  LR = Tf(a)/2p(a) + Tf(b)/2p(b);                           child aa: Tf(a)/p(a)
//
// with Tx(j) = (P(j | x1) + P(j | x2)) / 2 the probability that parent x transmits j.
#include <cstdint>
#include <optional>
#include <vector>

namespace engine {

struct Genotypes {
    std::uint8_t f1, f2; // alleged father
    std::optional<std::pair<std::uint8_t, std::uint8_t>> mother; // nullopt: not typed
    std::uint8_t c1, c2; // child
};

enum class MutationFailure {
    None,
    ZeroChildFrequency, // a child's allele has frequency 0: the alternative has no likelihood
    NoVariation, // the frequencies give sum p(1-p) = 0: a locus without variation cannot mutate
    RateTooHigh, // a*(1 - p(i)) > 1 for a parent's allele: the rate is too high for this locus
};

struct MutationIndex {
    MutationFailure failure = MutationFailure::None;
    long double lr = 0; // when failure is None
    std::uint8_t allele = 0; // ZeroChildFrequency: the child's allele with frequency 0
};

// `frequencies[i]` is the frequency of allele i (entry 0 unused), each finite and >= 0, as the
// index uses it (a minimum frequency already applied). Allele numbers lie in 1..size-1.
MutationIndex mutationIndex(const std::vector<long double>& frequencies, const Genotypes& genotypes, long double rate);

} // namespace engine
