// SPDX-License-Identifier: GPL-3.0-or-later
// The locus index under the lab's settings: the mutation model against a brute-force likelihood,
// rows the model must leave alone, and the minimum allele frequency.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "engine/enginetexts.h"
#include "engine/evaluatelocus.h"
#include "testlocus.h"

namespace {

using engine::EvaluateLocus;
using engine::LocusOutcome;
using engine::Verdict;

const text::NumberFormat kComma(",");

freqdb::LabSettings mutationOn(long double rate, const char* rateText)
{
    freqdb::LabSettings s;
    s.mutationModel = freqdb::MutationModel::Proportional;
    s.mutationRate = rate;
    s.mutationRateText = rateText;
    return s;
}

freqdb::LabSettings minimum(long double floor, const char* text)
{
    freqdb::LabSettings s;
    s.minFrequency = floor;
    s.minFrequencyText = text;
    return s;
}

// The likelihood of the child's genotype summed over every transmission, with the mutation
// matrix written out: a remainder allele when the table sums below 1, the table scaled when it
// sums above; an untyped parent is a random person whose two alleles are summed over too.
long double bruteForceLr(const freqdb::LocusRecord& locus, long double mu, int f1, int f2, std::optional<int> m1,
                         int m2, int c1, int c2)
{
    const int n = locus.AlleleCount;
    long double sum = 0;
    for (int k = 1; k <= n; ++k)
        sum += locus.Frequencies[k];
    std::vector<long double> pi(1, 0.0L);
    for (int k = 1; k <= n; ++k)
        pi.push_back(sum > 1 ? locus.Frequencies[k] / sum : locus.Frequencies[k]);
    if (sum < 1)
        pi.push_back(1 - sum); // the remainder allele, number n + 1
    const int all = static_cast<int>(pi.size()) - 1;
    long double h = 0;
    for (int k = 1; k <= all; ++k)
        h += pi[k] * (1 - pi[k]);
    const long double alpha = mu / h;
    const auto mutate = [&](int from, int to) { return from == to ? 1 - alpha + alpha * pi[from] : alpha * pi[to]; };
    const auto transmit = [&](int x, int y, int j) { return (mutate(x, j) + mutate(y, j)) / 2; };
    // P(child | parent genotypes x1/x2 and y1/y2).
    const auto child = [&](int x1, int x2, int y1, int y2) {
        if (c1 == c2)
            return transmit(x1, x2, c1) * transmit(y1, y2, c1);
        return transmit(x1, x2, c1) * transmit(y1, y2, c2) + transmit(x1, x2, c2) * transmit(y1, y2, c1);
    };
    long double hp = 0, hd = 0;
    for (int k = 1; k <= all; ++k) {
        for (int l = 1; l <= all; ++l) {
            const long double random = pi[k] * pi[l];
            if (m1) {
                hd += random * child(*m1, m2, k, l);
            } else {
                hp += random * child(k, l, f1, f2);
                for (int r = 1; r <= all; ++r)
                    for (int s = 1; s <= all; ++s)
                        hd += random * pi[r] * pi[s] * child(k, l, r, s);
            }
        }
    }
    if (m1)
        hp = child(*m1, m2, f1, f2);
    return hp / hd;
}

TEST(MutationModel, AgreesWithBruteForceOnRandomExclusions)
{
    std::mt19937 random(20261208);
    const std::vector<const char*> labels = {"8", "9", "9,3", "10", "11", "12", "13.2", "14", "15", "16", "17,1", "22"};
    const std::vector<long double> sums = {1.0L, 0.93L, 0.999L, 1.04L};
    int trios = 0, duos = 0, homozygousFather = 0, homozygousChild = 0, homozygousMother = 0;
    for (int round = 0; round < 400; ++round) {
        const int n = 3 + static_cast<int>(random() % 10);
        const long double target = sums[round % sums.size()];
        std::vector<std::pair<const char*, long double>> alleles;
        long double total = 0;
        for (int k = 0; k < n; ++k) {
            alleles.emplace_back(labels[k], 0.02L + std::uniform_real_distribution<double>(0, 1)(random));
            total += alleles.back().second;
        }
        for (auto& a : alleles)
            a.second *= target / total;
        const auto locus = enginetest::makeLocus(alleles);
        const auto pick = [&] { return static_cast<std::uint8_t>(1 + random() % n); };
        const std::uint8_t f1 = pick(), f2 = pick(), c1 = pick(), c2 = pick();
        const bool duo = round % 3 == 0;
        const std::uint8_t m1 = duo ? freqdb::NoAllele : pick(), m2 = duo ? freqdb::NoAllele : pick();
        if (EvaluateLocus(locus, f1, f2, m1, m2, c1, c2, kComma).verdict != Verdict::PaternityExcluded)
            continue;

        // Every fifth round with a minimum frequency as well: the oracle gets the raised table.
        auto settings = mutationOn(0.002L, "0,002");
        auto used = locus;
        if (round % 5 == 0) {
            settings.minFrequency = 0.06L;
            for (int k = 1; k <= n; ++k)
                used.Frequencies[k] = std::max(used.Frequencies[k], 0.06L);
        }
        const LocusOutcome out = EvaluateLocus(locus, f1, f2, m1, m2, c1, c2, kComma, settings);
        SCOPED_TRACE(testing::Message() << "round " << round << " rule " << out.rule);
        ASSERT_EQ(out.verdict, Verdict::Index) << out.formula;
        EXPECT_TRUE(out.mutation);
        const long double expected
            = bruteForceLr(used, 0.002L, f1, f2, duo ? std::nullopt : std::optional<int>(m1), m2, c1, c2);
        EXPECT_NEAR(static_cast<double>(out.lrValue / expected), 1.0, 1e-12);
        EXPECT_EQ(out.formula, "мутация μ=0,002");
        EXPECT_EQ(out.lr, out.lrValue >= 1 ? kComma.lr(out.lrValue) : kComma.scientific(out.lrValue, 3));
        EXPECT_EQ(out.frequency1, "p(" + locus.Labels[c1] + ")=" + kComma.frequency(used.Frequencies[c1]));
        if (c1 == c2)
            EXPECT_EQ(out.frequency2, std::nullopt);
        else
            EXPECT_EQ(out.frequency2, "p(" + locus.Labels[c2] + ")=" + kComma.frequency(used.Frequencies[c2]));
        ++(duo ? duos : trios);
        homozygousFather += f1 == f2;
        homozygousChild += c1 == c2;
        homozygousMother += !duo && m1 == m2;
    }
    // The random cases reach every kind of exclusion the oracle is meant to check.
    EXPECT_GE(trios, 50);
    EXPECT_GE(duos, 30);
    EXPECT_GT(homozygousFather, 5);
    EXPECT_GT(homozygousChild, 5);
    EXPECT_GT(homozygousMother, 5);
}

// Every constellation of a small locus: the model changes paternity exclusions into indices and
// nothing else, byte for byte.
TEST(MutationModel, ChangesOnlyPaternityExclusions)
{
    const auto locus = enginetest::makeLocus({{"a", 0.1L}, {"b", 0.2L}, {"c", 0.25L}, {"d", 0.05L}, {"e", 0.125L}});
    const auto settings = mutationOn(0.0025L, "0.0025");
    int changed = 0;
    for (int f1 = 1; f1 <= 5; ++f1)
        for (int f2 = 1; f2 <= 5; ++f2)
            for (int m1 = 0; m1 <= 5; ++m1)
                for (int m2 = 1; m2 <= 5; ++m2)
                    for (int c1 = 1; c1 <= 5; ++c1)
                        for (int c2 = 1; c2 <= 5; ++c2) {
                            const auto u = [](int a) { return static_cast<std::uint8_t>(a); };
                            const std::uint8_t mother1 = m1 == 0 ? freqdb::NoAllele : u(m1);
                            const auto off = EvaluateLocus(locus, u(f1), u(f2), mother1, u(m2), u(c1), u(c2), kComma);
                            const auto on
                                = EvaluateLocus(locus, u(f1), u(f2), mother1, u(m2), u(c1), u(c2), kComma, settings);
                            if (off.verdict == Verdict::PaternityExcluded) {
                                ASSERT_EQ(on.verdict, Verdict::Index);
                                EXPECT_EQ(on.rule, off.rule);
                                EXPECT_EQ(on.formula, "мутация μ=0.0025");
                                EXPECT_GT(on.lrValue, 0);
                                ++changed;
                                continue;
                            }
                            EXPECT_FALSE(on.mutation);
                            EXPECT_EQ(on.verdict, off.verdict);
                            EXPECT_EQ(on.formula, off.formula);
                            EXPECT_EQ(on.frequency1, off.frequency1);
                            EXPECT_EQ(on.frequency2, off.frequency2);
                            EXPECT_EQ(on.lr, off.lr);
                        }
    EXPECT_GT(changed, 1000);
}

TEST(MutationModel, SmallIndexIsWrittenInExponentForm)
{
    // Duo, father 12/12, child 14/14 (D6), a table summing to 1, checked by hand.
    const auto locus = enginetest::makeLocus({{"12", 0.5L}, {"14", 0.3L}, {"15", 0.2L}});
    const auto out
        = EvaluateLocus(locus, 1, 1, freqdb::NoAllele, freqdb::NoAllele, 2, 2, kComma, mutationOn(0.002L, "0,002"));
    // H = 1 - (0.25 + 0.09 + 0.04) = 0.62, a = 0.002/0.62; LR = P(14 | 12) / p(14) = a.
    EXPECT_NEAR(static_cast<double>(out.lrValue), 0.002 / 0.62, 1e-15);
    EXPECT_EQ(out.lr, "3,23E-03");
    EXPECT_EQ(out.frequency1, "p(14)=0,300");
    EXPECT_EQ(out.frequency2, std::nullopt);
}

TEST(MutationModel, LocusThatCannotMutateOrARateTooHighIsRefused)
{
    // All the frequency on one allele: no variation, so no mutation rate gives an alpha.
    const auto flat = enginetest::makeLocus({{"12", 1.0L}, {"14", 0.0L}});
    auto out = EvaluateLocus(flat, 2, 2, freqdb::NoAllele, freqdb::NoAllele, 1, 1, kComma, mutationOn(0.002L, "0,002"));
    EXPECT_EQ(out.verdict, Verdict::Failed);
    EXPECT_EQ(out.formula, engine::kMutationNoVariation);
    // The child's allele with frequency 0: the alternative has no likelihood.
    out = EvaluateLocus(flat, 1, 1, freqdb::NoAllele, freqdb::NoAllele, 2, 2, kComma, mutationOn(0.002L, "0,002"));
    EXPECT_EQ(out.verdict, Verdict::Failed);
    EXPECT_NE(out.formula.find("частота аллеля 14 равна 0"), std::string::npos) << out.formula;
    // A rate no locus of this variation can carry would give a negative probability.
    const auto poor = enginetest::makeLocus({{"12", 0.95L}, {"14", 0.05L}});
    out = EvaluateLocus(poor, 2, 2, freqdb::NoAllele, freqdb::NoAllele, 1, 1, kComma, mutationOn(0.5L, "0,5"));
    EXPECT_EQ(out.verdict, Verdict::Failed);
    EXPECT_EQ(out.formula, engine::kMutationRateTooHigh);
}

struct FloorCase {
    const char* name;
    const char* f1;
    const char* f2;
    const char* m1;
    const char* m2;
    const char* c1;
    const char* c2;
    const char* formula;
    const char* frequency1;
    const char* lr;
};

class FloorTest : public testing::TestWithParam<FloorCase> {};

// Minimum 0,005 over the standard locus: 17 has frequency 0, 9,3 has 0,0004, 19 has 0,000001.
TEST_P(FloorTest, FrequencyBelowTheMinimumIsRaised)
{
    const FloorCase& c = GetParam();
    const auto locus = enginetest::standardLocus();
    const auto a = [&](const char* label) { return enginetest::allele(locus, label); };
    const auto out
        = EvaluateLocus(locus, a(c.f1), a(c.f2), a(c.m1), a(c.m2), a(c.c1), a(c.c2), kComma, minimum(0.005L, "0,005"));
    EXPECT_EQ(out.verdict, Verdict::Index) << out.formula;
    EXPECT_EQ(out.formula, c.formula);
    EXPECT_EQ(out.frequency1, c.frequency1);
    EXPECT_EQ(out.lr, c.lr);
}

INSTANTIATE_TEST_SUITE_P(
    MinimumFrequency, FloorTest,
    testing::Values(
        FloorCase{"ZeroNoLongerFails", "12", "17", "Нет", "Нет", "17", "17", "1/2p(17)", "p(17)=0,005", "100,00"},
        FloorCase{"RareRaised", "9,3", "9,3", "Нет", "Нет", "9,3", "9,3", "1/p(9,3)", "p(9,3)=0,005", "200,00"},
        FloorCase{"TrioRaised", "19", "12", "13", "14", "19", "13", "1/2p(19)", "p(19)=0,005", "100,00"},
        FloorCase{"AboveTheMinimumUnchanged", "12", "12", "Нет", "Нет", "12", "12", "1/p(12)", "p(12)=0,100", "10,00"}),
    [](const testing::TestParamInfo<FloorCase>& info) { return info.param.name; });

} // namespace
