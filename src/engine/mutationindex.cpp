// SPDX-License-Identifier: GPL-3.0-or-later
#include "mutationindex.h"

namespace engine {

MutationIndex mutationIndex(const std::vector<long double>& frequencies, const Genotypes& g, long double rate)
{
    MutationIndex out;
    long double sum = 0;
    for (std::size_t k = 1; k < frequencies.size(); ++k)
        sum += frequencies[k];
    const long double scale = sum > 1 ? 1 / sum : 1;
    auto q = [&](std::uint8_t x) { return frequencies[x] * scale; };

    for (std::uint8_t c : {g.c1, g.c2}) {
        if (q(c) == 0) {
            out.failure = MutationFailure::ZeroChildFrequency;
            out.allele = c;
            return out;
        }
    }

    long double variation = 0;
    for (std::size_t k = 1; k < frequencies.size(); ++k)
        variation += q(static_cast<std::uint8_t>(k)) * (1 - q(static_cast<std::uint8_t>(k)));
    if (sum < 1)
        variation += (1 - sum) * sum; // the remainder allele R = 1 - sum: R(1 - R)
    if (!(variation > 0)) {
        out.failure = MutationFailure::NoVariation;
        return out;
    }
    const long double a = rate / variation;

    auto parentAlleles = std::vector<std::uint8_t>{g.f1, g.f2};
    if (g.mother) {
        parentAlleles.push_back(g.mother->first);
        parentAlleles.push_back(g.mother->second);
    }
    for (std::uint8_t i : parentAlleles) {
        if (a * (1 - q(i)) > 1) {
            out.failure = MutationFailure::RateTooHigh;
            return out;
        }
    }

    // P(j | i) and the transmission of a parent with alleles x1, x2.
    auto kept = [&](std::uint8_t i, std::uint8_t j) { return i == j ? 1 - a + a * q(i) : a * q(j); };
    auto transmits = [&](std::uint8_t x1, std::uint8_t x2, std::uint8_t j) { return (kept(x1, j) + kept(x2, j)) / 2; };
    auto father = [&](std::uint8_t j) { return transmits(g.f1, g.f2, j); };

    const std::uint8_t a1 = g.c1, b1 = g.c2;
    if (g.mother) {
        auto mother = [&](std::uint8_t j) { return transmits(g.mother->first, g.mother->second, j); };
        if (a1 == b1)
            out.lr = father(a1) / q(a1);
        else
            out.lr = (mother(a1) * father(b1) + mother(b1) * father(a1)) / (mother(a1) * q(b1) + mother(b1) * q(a1));
    } else {
        if (a1 == b1)
            out.lr = father(a1) / q(a1);
        else
            out.lr = father(a1) / (2 * q(a1)) + father(b1) / (2 * q(b1));
    }
    return out;
}

} // namespace engine
