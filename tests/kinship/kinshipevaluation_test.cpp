// SPDX-License-Identifier: GPL-3.0-or-later
// A deficiency case's rows: a typed alleged father gives batch's row bit for bit, the pedigree
// agrees with the trio and duo index (with and without mutation), the verdicts of rows that cannot
// be evaluated, and the roles and persons a case is refused for.
#include <gtest/gtest.h>

#include <random>

#include "engine/enginetexts.h"
#include "engine/evaluatelocus.h"
#include "engine/testlocus.h"
#include "kinship/caseroles.h"
#include "kinship/kinshipevaluation.h"
#include "kinship/kinshiptexts.h"
#include "kinship/pedigreelikelihood.h"

namespace {

using namespace kinship;

freqdb::LocusTable tableOf(const std::vector<std::pair<const char*, long double>>& alleles,
                           const freqdb::LabSettings& settings = {})
{
    freqdb::LocusTable table;
    table.setLocusCount(1);
    table.replaceRecord(1, enginetest::makeLocus(alleles));
    table.setSettings(settings);
    return table;
}

const std::vector<std::pair<const char*, long double>> kAlleles
    = {{"12", 0.1L}, {"13", 0.2L}, {"14", 0.25L}, {"15", 0.05L}, {"16", 0.125L}, {"17", 0.275L}};

std::vector<CasePerson> persons(std::initializer_list<Role> roles)
{
    std::vector<CasePerson> out;
    for (const Role& r : roles)
        out.push_back({r, {}});
    return out;
}

freqdb::LabSettings withMutation()
{
    freqdb::LabSettings s;
    freqdb::applyMutationSetting(s, "proportional:0,002");
    return s;
}

freqdb::LabSettings withMinimum()
{
    freqdb::LabSettings s;
    freqdb::applyMinFrequencySetting(s, "0,15");
    return s;
}

TEST(KinshipEvaluation, ATypedAllegedFatherGivesBatchsRowBitForBit)
{
    const text::NumberFormat format(",");
    std::mt19937 random(34);
    std::uniform_int_distribution<int> allele(1, 6);
    const auto label = [](int a) { return std::string(kAlleles[static_cast<std::size_t>(a - 1)].first); };
    const auto people
        = persons({{RoleKind::Child}, {RoleKind::Mother}, {RoleKind::AllegedFather}, {RoleKind::FathersMother}});
    for (const auto& settings : {freqdb::LabSettings{}, withMutation(), withMinimum()}) {
        const freqdb::LocusTable table = tableOf(kAlleles, settings);
        for (int draw = 0; draw < 400; ++draw) {
            const int f1 = allele(random), f2 = allele(random), c1 = allele(random), c2 = allele(random);
            const int m1 = allele(random), m2 = allele(random);
            const bool trio = draw % 2 == 0;
            // His mother passes him his first allele: the relatives fit him, and change nothing.
            const CaseLocusRow row{"1",
                                   "D3S1358",
                                   {label(c1) + "/" + label(c2), trio ? label(m1) + "/" + label(m2) : "Нет/Нет",
                                    label(f1) + "/" + label(f2), label(f1) + "/" + label(allele(random))},
                                   {}};
            const KinshipRow k = evaluateKinshipLocus(people, row, table, format);
            const auto u8 = [](int x) { return static_cast<std::uint8_t>(x); };
            const engine::LocusOutcome batch
                = engine::EvaluateLocus(table.record(1), u8(f1), u8(f2), trio ? u8(m1) : freqdb::NoAllele,
                                        trio ? u8(m2) : freqdb::NoAllele, u8(c1), u8(c2), format, settings);
            ASSERT_EQ(k.lr, batch.lr) << row.genotypes[0] << " " << row.genotypes[1] << " " << row.genotypes[2];
            ASSERT_EQ(k.formula, batch.formula);
            ASSERT_EQ(k.lrValue, batch.lrValue); // bit for bit
        }
    }
}

TEST(KinshipEvaluation, ThePedigreeOfATypedFatherIsTheTrioAndDuoIndex)
{
    // The pedigree, written apart from the tables of formulas, gives their LR (and the mutation
    // model's LR where they exclude), also where a minimum frequency makes the table sum above 1.
    const text::NumberFormat format(",");
    for (const auto& settings : {freqdb::LabSettings{}, withMutation(), withMinimum()}) {
        const freqdb::LocusTable table = tableOf(kAlleles, settings);
        std::vector<long double> p(7, 0);
        for (int k = 1; k <= 6; ++k)
            p[static_cast<std::size_t>(k)]
                = engine::indexFrequency(table.record(1), static_cast<std::uint8_t>(k), settings);
        const MutationConstant model = mutationConstant(p, settings.mutationRate);
        for (int f1 = 1; f1 <= 6; ++f1)
            for (int f2 = f1; f2 <= 6; ++f2)
                for (int c1 = 1; c1 <= 6; ++c1)
                    for (int c2 = c1; c2 <= 6; ++c2)
                        for (int m = 0; m <= 6; ++m) {
                            const auto u8 = [](int x) { return static_cast<std::uint8_t>(x); };
                            const std::uint8_t m1 = m == 0 ? freqdb::NoAllele : u8(m);
                            const std::uint8_t m2 = m == 0 ? freqdb::NoAllele : u8(m % 6 + 1);
                            const engine::LocusOutcome batch = engine::EvaluateLocus(
                                table.record(1), u8(f1), u8(f2), m1, m2, u8(c1), u8(c2), format, settings);
                            if (batch.verdict != engine::Verdict::Index)
                                continue;
                            Family family;
                            family.allegedFather = Genotype{f1, f2};
                            family.child = Genotype{c1, c2};
                            if (m != 0)
                                family.mother = Genotype{m1, m2};
                            const Likelihoods l = batch.mutation
                                                      ? pedigreeLikelihoods(family, model.frequencies, model.a)
                                                      : pedigreeLikelihoods(family, p);
                            EXPECT_NEAR(double(l.hp / l.hd / batch.lrValue), 1.0, 1e-12)
                                << f1 << f2 << " " << c1 << c2 << " " << m;
                        }
    }
}

struct RowCase {
    const char* name;
    std::vector<std::string> genotypes; // child, mother, his father, his mother, brother
    freqdb::LabSettings settings;
    std::string formula; // expected, or its start
    std::string lr;
};

TEST(KinshipEvaluation, RowsTheirVerdictsAndWhyNot)
{
    const auto people = persons({{RoleKind::Child},
                                 {RoleKind::Mother},
                                 {RoleKind::FathersFather},
                                 {RoleKind::FathersMother},
                                 {RoleKind::Brother, 1}});
    const std::vector<RowCase> cases = {
        {"the paternal allele in neither grandparent",
         {"12/13", "13/13", "14/15", "16/17", ""},
         {},
         std::string(engine::kPaternityExcluded),
         "0"},
        {"with mutation the same row has an index",
         {"12/13", "13/13", "14/15", "16/17", ""},
         withMutation(),
         "мутация μ=0,002",
         ""},
        {"a brother with an allele neither parent has",
         {"12/13", "13/13", "14/15", "16/17", "14/12"},
         {},
         std::string(kRelativesInconsistent) + " (мать ПО или брат ПО 1)",
         ""},
        {"a child who is not the mother's",
         {"12/14", "13/15", "14/15", "16/17", ""},
         {},
         std::string(engine::kMaternityExcluded),
         ""},
        {"no child", {"", "13/15", "14/15", "16/17", ""}, {}, std::string(kChildUntyped), ""},
        {"an allele the table lacks",
         {"12/21", "12/15", "14/15", "16/17", ""},
         {},
         std::string(kUnknownAllele) + "«21» в таблице локуса D3S1358 (ребенок)",
         ""},
        {"with a minimum the allele is one",
         {"12/21", "12/15", "14/21", "16/17", ""},
         withMinimum(),
         "трио: отец ПО, мать ПО",
         ""},
        {"grandparents 12/14 and 16/17: 1/(2*0.1*... )",
         {"12/13", "13/13", "12/14", "16/17", ""},
         {},
         "трио: отец ПО, мать ПО",
         "2,50"},
    };
    const text::NumberFormat format(",");
    for (const RowCase& c : cases) {
        const freqdb::LocusTable table = tableOf(kAlleles, c.settings);
        const KinshipRow row = evaluateKinshipLocus(people, {"1", "D3S1358", c.genotypes, {}}, table, format);
        EXPECT_EQ(row.formula.substr(0, c.formula.size()), c.formula) << c.name << ": " << row.formula;
        if (!c.lr.empty()) {
            EXPECT_EQ(row.lr, c.lr) << c.name;
        }
        if (c.formula.rfind("мутация", 0) == 0) {
            EXPECT_TRUE(row.mutation && !row.lr.empty() && row.lr != "0") << c.name;
        }
    }
}

TEST(KinshipCaseRoles, HeadersAndPersons)
{
    EXPECT_EQ(roleFromHeader("Брат предполагаемого отца 2"), (Role{RoleKind::Brother, 2}));
    EXPECT_EQ(roleFromHeader(" Мать ребенка предполагаемого отца 1 "), (Role{RoleKind::OtherChildsMother, 1}));
    EXPECT_EQ(roleFromHeader("Сестра предполагаемого отца"), (Role{RoleKind::Sister, 0}));
    EXPECT_FALSE(roleFromHeader("Мать 2"));
    EXPECT_FALSE(roleFromHeader("Дядя"));
    EXPECT_FALSE(roleFromHeader("Брат предполагаемого отца -1"));

    const auto where = [](std::size_t i) { return "столбец " + std::to_string(i + 1); };
    EXPECT_FALSE(personsProblem(persons({{RoleKind::Child}, {RoleKind::Brother, 1}}), where));
    EXPECT_EQ(*personsProblem(persons({{RoleKind::Child}, {RoleKind::Mother}}), where), kNoRelative);
    EXPECT_EQ(*personsProblem(persons({{RoleKind::Mother}, {RoleKind::Brother}}), where), kNoChild);
    EXPECT_NE(personsProblem(persons({{RoleKind::Child}, {RoleKind::OtherChild, 1}, {RoleKind::OtherChild, 1}}), where)
                  ->find("столбец 3"),
              std::string::npos);
    EXPECT_NE(personsProblem(persons({{RoleKind::Child}, {RoleKind::Brother}, {RoleKind::OtherChildsMother, 2}}), where)
                  ->find(kMotherWithoutChild),
              std::string::npos);
}

} // namespace
