// SPDX-License-Identifier: GPL-3.0-or-later
// The independent likelihood against values worked out by hand (not by the engine's formulas).
#include <gtest/gtest.h>

#include "testtable.h"
#include "validation/independentindex.h"

namespace {

using validation::Finding;
using validation::PersonLabels;

PersonLabels g(const char* a, const char* b)
{
    return {a, b};
}

struct Case {
    const char* name;
    PersonLabels father, child;
    std::optional<PersonLabels> mother;
    Finding finding;
    long double lr; // with the mutation model: a = 0,002 / sum p(1-p) = 0,002 / 0,725
    bool mutation = false;
    std::optional<long double> minimum = std::nullopt;
};

// Under the proportional model a homozygous father who passes on the child's allele only by
// mutation gives LR = a in a duo, and in a trio whose mother is homozygous for the other allele.
constexpr long double kA = 0.002L / 0.725L;

TEST(IndependentIndex, AgreesWithHandComputedValues)
{
    const Case cases[] = {
        {"DuoSharedHeterozygote", g("12", "14"), g("14", "12"), std::nullopt, Finding::Index, 0.35L / 0.1L},
        {"DuoHomozygotes", g("12", "12"), g("12", "12"), std::nullopt, Finding::Index, 10},
        {"DuoHomozygousFather", g("12", "12"), g("12", "13"), std::nullopt, Finding::Index, 5},
        {"DuoOneShared", g("12", "13"), g("12", "14"), std::nullopt, Finding::Index, 2.5L},
        {"DuoNoneShared", g("12", "13"), g("14", "15"), std::nullopt, Finding::PaternityInconsistent, 0},
        {"TrioMotherChildSameFatherOther", g("12", "15"), g("12", "14"), g("12", "14"), Finding::Index, 1 / 0.7L},
        {"TrioAllThreeSame", g("12", "14"), g("12", "14"), g("14", "12"), Finding::Index, 1 / 0.35L},
        {"TrioHomozygousFather", g("12", "12"), g("12", "13"), g("13", "15"), Finding::Index, 10},
        {"TrioHomozygousChild", g("12", "14"), g("12", "12"), g("12", "12"), Finding::Index, 5},
        {"TrioFatherAlleleOutsideMother", g("12", "14"), g("12", "14"), g("13", "14"), Finding::Index, 5},
        {"TrioPaternal", g("12", "14"), g("12", "15"), g("12", "13"), Finding::PaternityInconsistent, 0},
        {"TrioMaternal", g("12", "12"), g("14", "15"), g("12", "12"), Finding::MaternityInconsistent, 0},
        {"DuoMutation", g("12", "12"), g("13", "13"), std::nullopt, Finding::Index, kA, true},
        {"TrioMutation", g("14", "14"), g("12", "13"), g("12", "12"), Finding::Index, kA, true},
        {"MinimumForAbsentLabel", g("12", "99"), g("99", "99"), std::nullopt, Finding::Index, 50, false, 0.01L},
        {"MinimumRaisesFrequency", g("12", "12"), g("12", "12"), std::nullopt, Finding::Index, 1 / 0.15L, false, 0.15L},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        freqdb::LabSettings settings;
        if (c.mutation)
            settings.mutationModel = freqdb::MutationModel::Proportional;
        settings.minFrequency = c.minimum;
        const auto result
            = validation::independentIndex(validationtest::handLocus(), settings, c.father, c.child, c.mother);
        EXPECT_EQ(result.finding, c.finding) << result.reason;
        EXPECT_EQ(result.mutation, c.mutation);
        EXPECT_NEAR(static_cast<double>(result.lr), static_cast<double>(c.lr), 1e-12 * static_cast<double>(c.lr));
    }
}

TEST(IndependentIndex, LabelMissingFromTableWithoutMinimumIsNotComputable)
{
    const auto result
        = validation::independentIndex(validationtest::handLocus(), {}, g("12", "99"), g("12", "12"), std::nullopt);
    EXPECT_EQ(result.finding, Finding::NotComputable);
}

} // namespace
