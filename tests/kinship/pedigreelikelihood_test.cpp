// SPDX-License-Identifier: GPL-3.0-or-later
// The pedigree likelihood against a second computation written apart from it: the pedigree's
// persons listed with their parents, and the likelihood summed over every untyped person's
// genotype over the whole allele table, without lumping or peeling (validation/pedigreesum.h).
// Random tables and random families (simulated, so related, or drawn at random, so mostly
// unrelated) in every constellation of a deficiency case, trio and duo, with and without
// mutation, with frequencies summing to 1 and above it (a minimum frequency raises some; founders
// draw from the table as the typed persons' alleles leave it of 1).
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "kinship/pedigreelikelihood.h"
#include "validation/pedigreesum.h"

namespace {

using kinship::Family;
using kinship::Genotype;

using Person = validation::PedigreePerson;

// The pedigree of a Family under Hp or Hd, with `untypedExtras` untyped brothers (who must change
// nothing).
std::vector<Person> pedigree(const Family& f, bool hp, int untypedExtras)
{
    std::vector<Person> persons;
    persons.push_back({-1, -1, f.fathersFather}); // 0
    persons.push_back({-1, -1, f.fathersMother}); // 1
    persons.push_back({0, 1, f.allegedFather}); // 2
    for (const Genotype& s : f.siblings)
        persons.push_back({0, 1, s});
    for (int i = 0; i < untypedExtras; ++i)
        persons.push_back({0, 1, std::nullopt});
    for (const auto& other : f.otherChildren) {
        persons.push_back({-1, -1, other.mother});
        const int mother = static_cast<int>(persons.size()) - 1;
        persons.push_back({2, mother, other.child});
    }
    persons.push_back({-1, -1, f.mother});
    const int mother = static_cast<int>(persons.size()) - 1;
    int father = 2;
    if (!hp) {
        persons.push_back({-1, -1, std::nullopt}); // the unrelated man
        father = static_cast<int>(persons.size()) - 1;
    }
    persons.push_back({father, mother, f.child, true});
    return persons;
}

// Which persons of a constellation are typed.
struct Constellation {
    const char* name;
    bool fathersFather, fathersMother;
    int siblings;
    int otherChildren; // each with its mother typed when otherMothers
    bool otherMothers;
    bool allegedFather;
};

const Constellation kConstellations[] = {
    {"both parents", true, true, 0, 0, false, false},
    {"his father", true, false, 0, 0, false, false},
    {"his mother", false, true, 0, 0, false, false},
    {"siblings", false, false, 2, 0, false, false},
    {"one sibling", false, false, 1, 0, false, false},
    {"other children with mothers", false, false, 0, 2, true, false},
    {"other child without mother", false, false, 0, 1, false, false},
    {"parent and sibling", true, false, 1, 0, false, false},
    {"parents and siblings", true, true, 2, 0, false, false},
    {"alleged father typed", false, false, 0, 0, false, true},
    {"alleged father typed with his parent", false, true, 0, 0, false, true},
};

class RandomFamilies {
public:
    explicit RandomFamilies(unsigned seed) : m_random(seed) {}

    // A table of 3..5 alleles; with `raised`, frequencies below 0.1 raised to 0.1 (the sum exceeds 1).
    std::vector<long double> table(bool raised)
    {
        const int n = std::uniform_int_distribution<int>(3, 5)(m_random);
        std::vector<long double> p(static_cast<std::size_t>(n) + 1, 0);
        long double sum = 0;
        for (int i = 1; i <= n; ++i)
            sum += p[static_cast<std::size_t>(i)] = std::uniform_real_distribution<double>(0.01, 1)(m_random);
        for (int i = 1; i <= n; ++i) {
            p[static_cast<std::size_t>(i)] /= sum;
            if (raised && p[static_cast<std::size_t>(i)] < 0.1L)
                p[static_cast<std::size_t>(i)] = 0.1L;
        }
        return p;
    }

    // A family of the constellation: simulated (founders drawn, children inheriting) when
    // `related`, every typed genotype drawn apart otherwise.
    Family family(const Constellation& c, bool trio, bool related, const std::vector<long double>& p)
    {
        const int n = static_cast<int>(p.size()) - 1;
        auto draw = [&] {
            std::discrete_distribution<int> d(p.begin() + 1, p.end());
            return Genotype{d(m_random) + 1, d(m_random) + 1};
        };
        auto childOf = [&](Genotype a, Genotype b) {
            if (!related)
                return draw();
            std::bernoulli_distribution coin(0.5);
            return Genotype{coin(m_random) ? a.first : a.second, coin(m_random) ? b.first : b.second};
        };
        (void)n;
        const Genotype ff = draw(), fm = draw();
        const Genotype af = childOf(ff, fm);
        Family f;
        if (c.fathersFather)
            f.fathersFather = ff;
        if (c.fathersMother)
            f.fathersMother = fm;
        if (c.allegedFather)
            f.allegedFather = af;
        for (int i = 0; i < c.siblings; ++i)
            f.siblings.push_back(childOf(ff, fm));
        for (int i = 0; i < c.otherChildren; ++i) {
            const Genotype w = draw();
            f.otherChildren.push_back({childOf(af, w), c.otherMothers ? std::optional<Genotype>(w) : std::nullopt});
        }
        const Genotype mother = draw();
        if (trio)
            f.mother = mother;
        // Half the children are the alleged father's.
        f.child = std::bernoulli_distribution(0.5)(m_random) ? childOf(af, mother) : childOf(draw(), mother);
        return f;
    }

    std::mt19937& random() { return m_random; }

private:
    std::mt19937 m_random;
};

void expectClose(long double expected, long double actual, const std::string& what)
{
    if (expected == 0) {
        EXPECT_EQ(actual, 0) << what;
        return;
    }
    EXPECT_LE(std::fabs(actual - expected) / std::fabs(expected), 1e-9L)
        << what << ": " << double(expected) << " != " << double(actual);
}

TEST(PedigreeLikelihood, AgreesWithTheSumOverTheWholeTableInEveryConstellation)
{
    RandomFamilies families(20261208);
    int informative = 0;
    for (const Constellation& c : kConstellations) {
        for (bool trio : {true, false}) {
            for (bool mutation : {false, true}) {
                for (int draw = 0; draw < 8; ++draw) {
                    const bool raised = draw % 3 == 2;
                    const bool related = draw % 4 != 3;
                    const std::vector<long double> p = families.table(raised);
                    const Family f = families.family(c, trio, related, p);
                    const long double a = mutation ? 0.05L : 0;
                    const int extras = draw % 5 == 0 ? 1 : 0;
                    const std::string what = std::string(c.name) + (trio ? ", trio" : ", duo")
                                             + (mutation ? ", mutation" : "") + (raised ? ", raised" : "") + ", #"
                                             + std::to_string(draw);
                    const kinship::Likelihoods engine = kinship::pedigreeLikelihoods(f, p, a);
                    const std::vector<Person> hpPersons = pedigree(f, true, extras);
                    const std::vector<long double> founders = validation::foundersFrequencies(hpPersons, p);
                    const long double hp = validation::pedigreeSum(hpPersons, founders, a);
                    const long double hd = validation::pedigreeSum(pedigree(f, false, extras), founders, a);
                    expectClose(hp, engine.hp, what + " L(Hp)");
                    expectClose(hd, engine.hd, what + " L(Hd)");
                    if (hd > 0) {
                        expectClose(hp / hd, engine.hp / engine.hd, what + " LR");
                        informative += hp != hd ? 1 : 0;
                    }
                }
            }
        }
    }
    // The draws are no empty test: most families give an LR other than 1.
    EXPECT_GT(informative, 200);
}

TEST(PedigreeLikelihood, ARelativeWhoCannotBeIsSeen)
{
    // Parents 12/13 and 14/15 (alleles 1..4), a brother 16/16 (allele 5): no child of theirs.
    Family f;
    f.fathersFather = Genotype{1, 2};
    f.fathersMother = Genotype{3, 4};
    f.siblings = {Genotype{5, 5}};
    f.child = Genotype{1, 5};
    const std::vector<long double> p = {0, 0.2L, 0.2L, 0.2L, 0.2L, 0.2L};
    const kinship::Likelihoods l = kinship::pedigreeLikelihoods(f, p);
    EXPECT_EQ(l.family, 0);
    EXPECT_EQ(l.hp, 0);
}

} // namespace
