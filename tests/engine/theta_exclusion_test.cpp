// SPDX-License-Identifier: GPL-3.0-or-later
// The index with θ and the power of exclusion on the bundled tables, each against a computation
// written here from its definition: the Balding-Nichols likelihoods by enumerating every allele
// of the untyped founders, and PE by summing over every genotype of the random man.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "automation/workbook.h"
#include "engine/enginetexts.h"
#include "engine/evaluatelocus.h"
#include "engine/exclusionpower.h"
#include "freqdb/locusloader.h"

namespace {

using engine::EvaluateLocus;
using engine::Verdict;

const text::NumberFormat kComma(",");

// The bundled tables of a population, loaded once for all the tests (a map keeps them in place).
const freqdb::LocusTable& bundledTable(freqdb::Population population)
{
    static std::map<freqdb::Population, freqdb::LocusTable> loaded;
    if (const auto it = loaded.find(population); it != loaded.end())
        return it->second;
    const auto reader = automation::makeFileWorkbookReader();
    auto result = freqdb::LoadLocusTableFromFolder(std::string(PI_SOURCE_DIR) + "/data", population, *reader, kComma);
    if (result.status != freqdb::LoadStatus::Loaded)
        throw std::runtime_error(result.message);
    return loaded.emplace(population, std::move(result.table)).first->second;
}

// The locus's frequencies, entry 0 unused, and a last allele holding 1 - sum, so that the
// alleles of an untyped person range over a whole population.
std::vector<long double> withRemainder(const freqdb::LocusRecord& locus)
{
    std::vector<long double> pi(1, 0.0L);
    long double sum = 0;
    for (int k = 1; k <= locus.AlleleCount; ++k) {
        pi.push_back(locus.Frequencies[k]);
        sum += locus.Frequencies[k];
    }
    pi.push_back(1 - sum);
    return pi;
}

// The probability of founder alleles drawn in this order from one subpopulation: the i-th is x
// with (n_x θ + (1 - θ) π_x) / (1 + (i - 1) θ), n_x the earlier draws that were x.
long double sampling(const std::vector<long double>& pi, long double theta, const std::vector<int>& alleles)
{
    long double probability = 1;
    for (std::size_t i = 0; i < alleles.size(); ++i) {
        int seen = 0;
        for (std::size_t j = 0; j < i; ++j)
            seen += alleles[j] == alleles[i];
        probability *= (seen * theta + (1 - theta) * pi[static_cast<std::size_t>(alleles[i])])
                       / (1 + (static_cast<long double>(i) - 1) * theta);
    }
    return probability;
}

// Mendel: the child c1/c2 of parents x1/x2 and y1/y2.
long double child(int c1, int c2, int x1, int x2, int y1, int y2)
{
    const auto t = [](int a, int b, int j) { return ((a == j) + (b == j)) / 2.0L; };
    if (c1 == c2)
        return t(x1, x2, c1) * t(y1, y2, c1);
    return t(x1, x2, c1) * t(y1, y2, c2) + t(x1, x2, c2) * t(y1, y2, c1);
}

// Hp: the mother and the alleged father are the parents; Hd: the mother and a random man of
// the same subpopulation. An untyped mother is a founder of unknown alleles too. The alleles of
// untyped founders range over the typed ones and one class of all others (its π the rest of 1):
// the sampling formula of a class is the sum over its alleles, and no other allele enters the
// child's likelihood, so the sum over classes is the sum over every allele of the population.
long double baldingNicholsLr(const freqdb::LocusRecord& locus, long double theta, int f1, int f2,
                             std::optional<std::pair<int, int>> mother, int c1, int c2)
{
    std::vector<int> typed = {f1, f2, c1, c2};
    if (mother) {
        typed.push_back(mother->first);
        typed.push_back(mother->second);
    }
    std::vector<int> number(static_cast<std::size_t>(locus.AlleleCount) + 1, 0); // allele -> class
    std::vector<long double> pi(1, 0.0L);
    long double rest = 1;
    for (int a : typed) {
        if (number[static_cast<std::size_t>(a)] != 0)
            continue;
        pi.push_back(locus.Frequencies[a]);
        rest -= locus.Frequencies[a];
        number[static_cast<std::size_t>(a)] = static_cast<int>(pi.size()) - 1;
    }
    pi.push_back(rest);
    const auto k = [&](int a) { return number[static_cast<std::size_t>(a)]; };
    f1 = k(f1), f2 = k(f2), c1 = k(c1), c2 = k(c2);
    const int all = static_cast<int>(pi.size()) - 1;
    long double hp = 0, hd = 0;
    const auto withMother = [&](int m1, int m2) {
        hp += sampling(pi, theta, {m1, m2, f1, f2}) * child(c1, c2, m1, m2, f1, f2);
        for (int r1 = 1; r1 <= all; ++r1)
            for (int r2 = 1; r2 <= all; ++r2)
                hd += sampling(pi, theta, {m1, m2, f1, f2, r1, r2}) * child(c1, c2, m1, m2, r1, r2);
    };
    if (mother) {
        withMother(k(mother->first), k(mother->second));
    } else {
        for (int m1 = 1; m1 <= all; ++m1)
            for (int m2 = 1; m2 <= all; ++m2)
                withMother(m1, m2);
    }
    return hp / hd;
}

struct Drawn {
    std::uint8_t locus, f1, f2, m1, m2, c1, c2;
};

// A random row of the bundled table: every allele of the child and the father drawn from the
// locus; in a trio the child shares an allele with the mother, so most rows give an index.
Drawn draw(std::mt19937& random, const freqdb::LocusTable& table, bool duo)
{
    Drawn d{};
    d.locus = static_cast<std::uint8_t>(1 + random() % table.LocusCount());
    const int n = table.record(d.locus).AlleleCount;
    const auto pick = [&] { return static_cast<std::uint8_t>(1 + random() % n); };
    d.f1 = pick();
    d.f2 = random() % 3 ? pick() : d.f1;
    d.m1 = duo ? freqdb::NoAllele : pick();
    d.m2 = duo ? freqdb::NoAllele : pick();
    // Often the father's and the mother's alleles, so that consistent rows are frequent.
    d.c1 = duo || random() % 4 == 0 ? pick() : d.m1;
    d.c2 = random() % 3 ? d.f1 : random() % 2 ? d.c1 : pick();
    return d;
}

freqdb::LabSettings thetaOn(long double theta, const char* text)
{
    freqdb::LabSettings s;
    s.theta = theta;
    s.thetaText = text;
    return s;
}

TEST(Theta, AgreesWithTheBaldingNicholsEnumerationOnTheBundledTables)
{
    std::mt19937 random(2412);
    for (const auto& [theta, text] : {std::pair{0.01L, "0,01"}, std::pair{0.03L, "0,03"}}) {
        const auto settings = thetaOn(theta, text);
        int trios = 0, duos = 0;
        for (const auto population : {freqdb::Population::UsCaucasians, freqdb::Population::UsBlacks}) {
            const freqdb::LocusTable& table = bundledTable(population);
            for (int round = 0; round < 160; ++round) {
                const bool duo = round % 2 == 1;
                const Drawn d = draw(random, table, duo);
                const auto& locus = table.record(d.locus);
                const auto plain = EvaluateLocus(locus, d.f1, d.f2, d.m1, d.m2, d.c1, d.c2, kComma);
                if (plain.verdict != Verdict::Index)
                    continue;
                const auto out = EvaluateLocus(locus, d.f1, d.f2, d.m1, d.m2, d.c1, d.c2, kComma, settings);
                SCOPED_TRACE(testing::Message()
                             << locus.Name << " " << out.rule << " " << int(d.f1) << "/" << int(d.f2) << " "
                             << int(d.m1) << "/" << int(d.m2) << " " << int(d.c1) << "/" << int(d.c2));
                ASSERT_EQ(out.verdict, Verdict::Index) << out.formula;
                const auto mother = duo ? std::nullopt : std::optional(std::pair<int, int>{d.m1, d.m2});
                const long double expected = baldingNicholsLr(locus, theta, d.f1, d.f2, mother, d.c1, d.c2);
                EXPECT_NEAR(static_cast<double>(out.lrValue / expected), 1.0, 1e-12);
                EXPECT_EQ(out.lr, kComma.lr(expected));
                EXPECT_EQ(out.formula, std::string(engine::kThetaFormulaPrefix) + text + " " + plain.formula);
                EXPECT_EQ(out.frequency1, plain.frequency1); // the table's frequencies, as without θ
                EXPECT_EQ(out.frequency2, plain.frequency2);
                ++(duo ? duos : trios);
            }
        }
        EXPECT_GE(trios, 60);
        EXPECT_GE(duos, 40);
    }
}

// θ = 0 is the plain index, bit for bit, for every constellation of a locus; exclusions and
// failures do not change with θ at all.
TEST(Theta, ZeroGivesThePlainIndexAndVerdictsStay)
{
    const freqdb::LocusTable& table = bundledTable(freqdb::Population::UsCaucasians);
    const auto& locus = table.record(table.LocusIndexOf("TPOX"));
    const auto zero = thetaOn(0, "0");
    const auto on = thetaOn(0.02L, "0,02");
    const int n = locus.AlleleCount;
    int indices = 0;
    for (int f1 = 1; f1 <= n; ++f1)
        for (int f2 = f1; f2 <= n; ++f2)
            for (int m1 = 0; m1 <= n; ++m1)
                for (int m2 = std::max(m1, 1); m2 <= n; ++m2)
                    for (int c1 = 1; c1 <= n; ++c1)
                        for (int c2 = c1; c2 <= n; ++c2) {
                            const auto u = [](int a) { return static_cast<std::uint8_t>(a); };
                            const std::uint8_t mother1 = m1 == 0 ? freqdb::NoAllele : u(m1);
                            const auto plain = EvaluateLocus(locus, u(f1), u(f2), mother1, u(m2), u(c1), u(c2), kComma);
                            const auto atZero
                                = EvaluateLocus(locus, u(f1), u(f2), mother1, u(m2), u(c1), u(c2), kComma, zero);
                            ASSERT_EQ(atZero.verdict, plain.verdict);
                            EXPECT_EQ(atZero.lrValue, plain.lrValue);
                            EXPECT_EQ(atZero.lr, plain.lr);
                            if (plain.verdict != Verdict::Index) {
                                const auto withTheta
                                    = EvaluateLocus(locus, u(f1), u(f2), mother1, u(m2), u(c1), u(c2), kComma, on);
                                EXPECT_EQ(withTheta.formula, plain.formula);
                                EXPECT_EQ(withTheta.lr, plain.lr);
                                continue;
                            }
                            EXPECT_EQ(atZero.formula, "θ=0 " + plain.formula);
                            ++indices;
                        }
    EXPECT_GT(indices, 1000);
}

TEST(Theta, NotTogetherWithTheMutationModel)
{
    auto settings = thetaOn(0.01L, "0,01");
    settings.mutationModel = freqdb::MutationModel::Proportional;
    const freqdb::LocusTable& table = bundledTable(freqdb::Population::UsCaucasians);
    const auto out = EvaluateLocus(table.record(1), 1, 1, freqdb::NoAllele, freqdb::NoAllele, 1, 1, kComma, settings);
    EXPECT_EQ(out.verdict, Verdict::Failed);
    EXPECT_EQ(out.formula, *freqdb::settingsConflict(settings));
}

// PE from its definition: the probability that a random man (both alleles drawn from the table,
// or an allele the table lacks) carries no allele the child could have from its father, where x
// can be the paternal allele when the mother (any woman in a duo) can have given the other one.
std::optional<long double> exclusionByDefinition(const freqdb::LocusRecord& locus, int m1, int m2, int c1, int c2)
{
    const bool duo = m1 == freqdb::NoAllele;
    const auto motherGives = [&](int y) { return duo || y == m1 || y == m2; };
    if (!motherGives(c1) && !motherGives(c2))
        return std::nullopt;
    const std::vector<long double> pi = withRemainder(locus);
    const int remainder = static_cast<int>(pi.size()) - 1;
    const auto paternal
        = [&](int x) { return x != remainder && ((x == c1 && motherGives(c2)) || (x == c2 && motherGives(c1))); };
    long double excluded = 0;
    for (int r1 = 1; r1 <= remainder; ++r1)
        for (int r2 = 1; r2 <= remainder; ++r2)
            if (!paternal(r1) && !paternal(r2))
                excluded += pi[static_cast<std::size_t>(r1)] * pi[static_cast<std::size_t>(r2)];
    return excluded;
}

TEST(ExclusionPower, AgreesWithTheDefinitionOnTheBundledTables)
{
    std::mt19937 random(1996);
    int none = 0, homozygous = 0, excludedRows = 0;
    std::vector<long double> marked;
    long double notExcludedAnywhere = 1;
    for (const auto population : {freqdb::Population::UsCaucasians, freqdb::Population::UsBlacks}) {
        const freqdb::LocusTable& table = bundledTable(population);
        for (int round = 0; round < 300; ++round) {
            const Drawn d = draw(random, table, round % 3 == 0);
            const auto& locus = table.record(d.locus);
            const auto pe = engine::exclusionPower(locus, d.m1, d.m2, d.c1, d.c2, freqdb::LabSettings{});
            const auto expected = exclusionByDefinition(locus, d.m1, d.m2, d.c1, d.c2);
            ASSERT_EQ(pe.has_value(), expected.has_value()) << round;
            if (!pe) {
                ++none;
                continue;
            }
            EXPECT_NEAR(static_cast<double>(*pe), static_cast<double>(*expected), 1e-12) << round;
            EXPECT_EQ(kComma.fixed(*pe, 15, 4), kComma.fixed(*expected, 15, 4));
            homozygous += d.c1 == d.c2;
            excludedRows += EvaluateLocus(locus, d.f1, d.f2, d.m1, d.m2, d.c1, d.c2, kComma).verdict
                            == Verdict::PaternityExcluded;
            if (round % 2 == 0) {
                marked.push_back(*pe);
                notExcludedAnywhere *= 1 - *expected;
            }
        }
    }
    EXPECT_GT(none, 10);
    EXPECT_GT(homozygous, 30);
    EXPECT_GT(excludedRows, 30);
    // CPE: the random man is excluded at one marked locus at least.
    EXPECT_NEAR(static_cast<double>(*engine::combinedExclusionPower(marked)),
                static_cast<double>(1 - notExcludedAnywhere), 1e-12);
    EXPECT_EQ(engine::combinedExclusionPower({}), std::nullopt);
}

} // namespace
