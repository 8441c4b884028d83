// SPDX-License-Identifier: GPL-3.0-or-later
#include "pedigreelikelihood.h"

#include <algorithm>

namespace kinship {
namespace {

// The locus reduced to the alleles the typed persons carry, numbered 0..K-2, and the lumped
// "other" allele K-1.
class CompactLocus {
public:
    CompactLocus(const Family& family, const std::vector<long double>& frequencies, long double a)
    {
        std::vector<int> seen;
        auto note = [&](const std::optional<Genotype>& g) {
            if (g) {
                seen.push_back(g->first);
                seen.push_back(g->second);
            }
        };
        note(family.child);
        note(family.mother);
        note(family.allegedFather);
        note(family.fathersFather);
        note(family.fathersMother);
        for (const Genotype& s : family.siblings)
            note(s);
        for (const OtherChild& k : family.otherChildren) {
            note(k.child);
            note(k.mother);
        }
        std::sort(seen.begin(), seen.end());
        seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
        m_tableAllele = seen;
        // The other alleles hold what the seen ones leave of 1, so that a founder passes each seen
        // allele with its frequency whatever the rest of the table sums to (a minimum frequency
        // raises it above 1), as the trio's and duo's index has an untyped parent pass it.
        long double seenSum = 0;
        for (int x : seen) {
            m_frequency.push_back(frequencies[static_cast<std::size_t>(x)]);
            seenSum += frequencies[static_cast<std::size_t>(x)];
        }
        m_frequency.push_back(std::max(0.0L, 1 - seenSum));
        const int k = static_cast<int>(m_frequency.size());
        for (int x = 0; x < k; ++x) {
            for (int y = x; y < k; ++y)
                m_genotypes.push_back({x, y});
        }
        for (const auto& [x, y] : m_genotypes) {
            const long double px = m_frequency[static_cast<std::size_t>(x)];
            const long double py = m_frequency[static_cast<std::size_t>(y)];
            m_prior.push_back(x == y ? px * px : 2 * px * py);
            m_mendel.push_back(passes(x, y, 0));
            m_mutating.push_back(passes(x, y, a));
        }
        for (long double f : m_frequency)
            m_sum += f;
    }

    int genotypeCount() const { return static_cast<int>(m_genotypes.size()); }
    std::pair<int, int> pair(int g) const { return m_genotypes[static_cast<std::size_t>(g)]; }
    long double prior(int g) const { return m_prior[static_cast<std::size_t>(g)]; }
    long double frequencySum() const { return m_sum; }
    const std::vector<long double>& mendel(int g) const { return m_mendel[static_cast<std::size_t>(g)]; }
    const std::vector<long double>& mutating(int g) const { return m_mutating[static_cast<std::size_t>(g)]; }

    // The genotypes a person may have: the typed one, or all.
    std::vector<int> options(const std::optional<Genotype>& typed) const
    {
        std::vector<int> out;
        if (!typed) {
            for (int g = 0; g < genotypeCount(); ++g)
                out.push_back(g);
            return out;
        }
        out.push_back(indexOf(*typed));
        return out;
    }

    // A typed genotype in compact alleles, smaller first.
    std::pair<int, int> compact(const Genotype& g) const
    {
        const int x = compactAllele(g.first), y = compactAllele(g.second);
        return {std::min(x, y), std::max(x, y)};
    }

private:
    int compactAllele(int tableAllele) const
    {
        return static_cast<int>(std::lower_bound(m_tableAllele.begin(), m_tableAllele.end(), tableAllele)
                                - m_tableAllele.begin());
    }

    int indexOf(const Genotype& typed) const
    {
        const auto wanted = compact(typed);
        return static_cast<int>(std::find(m_genotypes.begin(), m_genotypes.end(), wanted) - m_genotypes.begin());
    }

    // What a parent x/y passes: the probability of each allele, with the mutation constant a.
    std::vector<long double> passes(int x, int y, long double a) const
    {
        std::vector<long double> out(m_frequency.size());
        for (std::size_t j = 0; j < out.size(); ++j) {
            auto kept = [&](int i) {
                const long double pj = m_frequency[j];
                return static_cast<int>(j) == i ? 1 - a + a * pj : a * pj;
            };
            out[j] = (kept(x) + kept(y)) / 2;
        }
        return out;
    }

    std::vector<int> m_tableAllele; // compact allele -> table allele, ascending
    std::vector<long double> m_frequency;
    long double m_sum = 0;
    std::vector<std::pair<int, int>> m_genotypes;
    std::vector<long double> m_prior;
    std::vector<std::vector<long double>> m_mendel, m_mutating;
};

// The probability that parents passing t1 and t2 have a child u/v.
long double childProbability(std::pair<int, int> child, const std::vector<long double>& t1,
                             const std::vector<long double>& t2)
{
    const auto u = static_cast<std::size_t>(child.first), v = static_cast<std::size_t>(child.second);
    if (u == v)
        return t1[u] * t2[u];
    return t1[u] * t2[v] + t1[v] * t2[u];
}

// For each genotype g of the alleged father: the probability of his parents' and siblings'
// typed genotypes and of his being g (his parents summed over when untyped).
std::vector<long double> parentsSide(const Family& family, const CompactLocus& locus, const std::vector<int>& father)
{
    std::vector<long double> weight(static_cast<std::size_t>(locus.genotypeCount()), 0);
    if (!family.fathersFather && !family.fathersMother && family.siblings.empty()) {
        // Two untyped founders and nothing else: he is in Hardy-Weinberg proportions, times the
        // square of the frequencies' sum that the sum over his parents gives.
        const long double s2 = locus.frequencySum() * locus.frequencySum();
        for (int g : father)
            weight[static_cast<std::size_t>(g)] = s2 * locus.prior(g);
        return weight;
    }
    std::vector<std::pair<int, int>> siblings;
    for (const Genotype& s : family.siblings)
        siblings.push_back(locus.compact(s));
    for (int gf : locus.options(family.fathersFather)) {
        for (int gm : locus.options(family.fathersMother)) {
            long double w = locus.prior(gf) * locus.prior(gm);
            for (const auto& s : siblings)
                w *= childProbability(s, locus.mendel(gf), locus.mendel(gm));
            if (w == 0)
                continue;
            for (int g : father)
                weight[static_cast<std::size_t>(g)]
                    += w * childProbability(locus.pair(g), locus.mendel(gf), locus.mendel(gm));
        }
    }
    return weight;
}

// For each genotype g of the alleged father: the probability of his other child's typed genotype
// and its mother's (she summed over when untyped).
std::vector<long double> otherChildSide(const OtherChild& other, const CompactLocus& locus,
                                        const std::vector<int>& father)
{
    std::vector<long double> weight(static_cast<std::size_t>(locus.genotypeCount()), 0);
    const auto child = locus.compact(*other.child);
    for (int gw : locus.options(other.mother)) {
        for (int g : father)
            weight[static_cast<std::size_t>(g)]
                += locus.prior(gw) * childProbability(child, locus.mendel(g), locus.mendel(gw));
    }
    return weight;
}

// The probability of the child's and its mother's genotypes when its father passes `paternal`.
long double childSide(const Family& family, const CompactLocus& locus, const std::vector<long double>& paternal)
{
    const auto child = locus.compact(*family.child);
    long double sum = 0;
    for (int gm : locus.options(family.mother))
        sum += locus.prior(gm) * childProbability(child, paternal, locus.mutating(gm));
    return sum;
}

} // namespace

Likelihoods pedigreeLikelihoods(const Family& family, const std::vector<long double>& frequencies,
                                long double mutationConstant)
{
    const CompactLocus locus(family, frequencies, mutationConstant);
    const std::vector<int> father = locus.options(family.allegedFather);
    std::vector<long double> weight = parentsSide(family, locus, father);
    for (const OtherChild& other : family.otherChildren) {
        if (!other.child)
            continue;
        const std::vector<long double> side = otherChildSide(other, locus, father);
        for (int g : father)
            weight[static_cast<std::size_t>(g)] *= side[static_cast<std::size_t>(g)];
    }

    Likelihoods out;
    for (int g : father)
        out.family += weight[static_cast<std::size_t>(g)];
    if (!family.child) {
        out.hp = out.hd = out.family;
        out.childGivenMother = 1;
        return out;
    }
    // Hd: the child's father is an unrelated man, a founder passing what the population passes.
    std::vector<long double> unrelated(locus.mutating(0).size(), 0);
    for (int g = 0; g < locus.genotypeCount(); ++g) {
        for (std::size_t j = 0; j < unrelated.size(); ++j)
            unrelated[j] += locus.prior(g) * locus.mutating(g)[j];
    }
    out.childGivenMother = childSide(family, locus, unrelated);
    out.hd = out.family * out.childGivenMother;
    for (int g : father) {
        const long double w = weight[static_cast<std::size_t>(g)];
        if (w != 0)
            out.hp += w * childSide(family, locus, locus.mutating(g));
    }
    return out;
}

} // namespace kinship
