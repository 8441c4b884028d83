// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/evaluatelocus.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "testlocus.h"

namespace {

using engine::EvaluateLocus;
using engine::LocusOutcome;
using engine::Verdict;
using enginetest::allele;

const text::NumberFormat kComma(",");

struct Genotypes {
    const char* f1;
    const char* f2;
    const char* m1;
    const char* m2;
    const char* c1;
    const char* c2;
};

LocusOutcome evaluate(const freqdb::LocusRecord& locus, const Genotypes& g)
{
    return EvaluateLocus(locus, allele(locus, g.f1), allele(locus, g.f2), allele(locus, g.m1), allele(locus, g.m2),
                         allele(locus, g.c1), allele(locus, g.c2), kComma);
}

struct RowCase {
    const char* name;
    Genotypes genotypes;
    const char* rule;
    Verdict verdict;
    const char* formula;
    const char* frequency1; // nullptr: column 3 not written
    const char* frequency2; // nullptr: column 4 not written
    const char* lr;
};

std::optional<std::string> opt(const char* s)
{
    return s ? std::optional<std::string>(s) : std::nullopt;
}

class RowTest : public testing::TestWithParam<RowCase> {};

TEST_P(RowTest, Outcome)
{
    const RowCase& c = GetParam();
    const LocusOutcome out = evaluate(enginetest::standardLocus(), c.genotypes);
    EXPECT_EQ(out.rule, c.rule);
    EXPECT_EQ(out.verdict, c.verdict);
    EXPECT_EQ(out.formula, c.formula);
    EXPECT_EQ(out.frequency1, opt(c.frequency1));
    EXPECT_EQ(out.frequency2, opt(c.frequency2));
    EXPECT_EQ(out.lr, c.lr);
}

constexpr auto Index = Verdict::Index;
constexpr auto Paternity = Verdict::PaternityExcluded;
constexpr auto Maternity = Verdict::MaternityExcluded;
constexpr const char* kPat = "Отцовство исключается";
constexpr const char* kMat = "Материнство исключается";
constexpr const char* kNo = "Нет";

// Father, mother, child as entered; each case names the row that must decide it. Cases where
// an earlier row and a later one both hold check that the earlier one wins.
INSTANTIATE_TEST_SUITE_P(
    Duo, RowTest,
    testing::Values(
        RowCase{"D1SameHomozygote",
                {"12", "12", kNo, kNo, "12", "12"},
                "D1",
                Index,
                "1/p(12)",
                "p(12)=0,100",
                nullptr,
                "10,00"},
        RowCase{"D2ChildOrderOfEntry",
                {"12", "14", kNo, kNo, "14", "12"},
                "D2",
                Index,
                "(p(14)+p(12))/4p(14)p(12)",
                "p(14)=0,250",
                "p(12)=0,100",
                "3,50"},
        RowCase{"D2SameOrder",
                {"12", "14", kNo, kNo, "12", "14"},
                "D2",
                Index,
                "(p(12)+p(14))/4p(12)p(14)",
                "p(12)=0,100",
                "p(14)=0,250",
                "3,50"},
        RowCase{"D3HomozygousFather",
                {"12", "12", kNo, kNo, "14", "12"},
                "D3",
                Index,
                "1/2p(12)",
                "p(12)=0,100",
                nullptr,
                "5,00"},
        RowCase{"D3HomozygousChild",
                {"12", "14", kNo, kNo, "12", "12"},
                "D3",
                Index,
                "1/2p(12)",
                "p(12)=0,100",
                nullptr,
                "5,00"},
        RowCase{"D4", {"12", "14", kNo, kNo, "14", "14"}, "D4", Index, "1/2p(14)", "p(14)=0,250", nullptr, "2,00"},
        RowCase{"D5", {"12", "12", kNo, kNo, "14", "15"}, "D5", Paternity, kPat, nullptr, nullptr, "0"},
        RowCase{"D6", {"12", "12", kNo, kNo, "14", "14"}, "D6", Paternity, kPat, nullptr, nullptr, "0"},
        RowCase{"D7", {"12", "14", kNo, kNo, "15", "12"}, "D7", Index, "1/4p(12)", "p(12)=0,100", nullptr, "2,50"},
        RowCase{"D8", {"12", "14", kNo, kNo, "14", "15"}, "D8", Index, "1/4p(14)", "p(14)=0,250", nullptr, "1,00"},
        RowCase{"D9", {"12", "14", kNo, kNo, "15", "16"}, "D9", Paternity, kPat, nullptr, nullptr, "0"},
        RowCase{"MotherNotTypedInFirstListOnly",
                {"12", "12", kNo, "13", "12", "12"},
                "D1",
                Index,
                "1/p(12)",
                "p(12)=0,100",
                nullptr,
                "10,00"},
        RowCase{"MotherNotTypedInSecondListOnly",
                {"12", "14", "13", kNo, "14", "14"},
                "D4",
                Index,
                "1/2p(14)",
                "p(14)=0,250",
                nullptr,
                "2,00"},
        RowCase{"FrequencyShownAsZeroLrFromUnrounded",
                {"9,3", "9,3", kNo, kNo, "9,3", "9,3"},
                "D1",
                Index,
                "1/p(9,3)",
                "p(9,3)=0,000",
                nullptr,
                "2500,00"},
        RowCase{"LrOfAMillionInScientificForm",
                {"19", "19", kNo, kNo, "19", "19"},
                "D1",
                Index,
                "1/p(19)",
                "p(19)=0,000",
                nullptr,
                "1,0000E+06"}),
    [](const testing::TestParamInfo<RowCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Trio, RowTest,
    testing::Values(
        RowCase{"T1Paternity", {"12", "12", "12", "12", "12", "14"}, "T1", Paternity, kPat, nullptr, nullptr, "0"},
        RowCase{"T1MaternityBeforeT2",
                {"12", "12", "12", "12", "14", "15"},
                "T1",
                Maternity,
                kMat,
                nullptr,
                nullptr,
                ""},
        RowCase{"T2MaternityWinsOverPaternity",
                {"14", "15", "12", "13", "16", "18"},
                "T2",
                Maternity,
                kMat,
                nullptr,
                nullptr,
                ""},
        RowCase{"T2ChildLikeFather", {"14", "15", "12", "13", "14", "15"}, "T2", Maternity, kMat, nullptr, nullptr, ""},
        RowCase{"T3BeforeT4", {"14", "12", "12", "14", "12", "15"}, "T3", Paternity, kPat, nullptr, nullptr, "0"},
        RowCase{"T4", {"12", "14", "12", "13", "12", "15"}, "T4", Paternity, kPat, nullptr, nullptr, "0"},
        RowCase{"T5", {"12", "14", "12", "13", "15", "12"}, "T5", Paternity, kPat, nullptr, nullptr, "0"},
        RowCase{"T6", {"14", "15", "12", "13", "12", "16"}, "T6", Paternity, kPat, nullptr, nullptr, "0"},
        RowCase{"T7AllSameHomozygote",
                {"12", "12", "12", "12", "12", "12"},
                "T7",
                Index,
                "1/p(12)",
                "p(12)=0,100",
                nullptr,
                "10,00"},
        RowCase{"T7HeterozygousMother",
                {"12", "12", "12", "13", "12", "12"},
                "T7",
                Index,
                "1/p(12)",
                "p(12)=0,100",
                nullptr,
                "10,00"},
        RowCase{"T8", {"12", "12", "13", "15", "12", "13"}, "T8", Index, "1/p(12)", "p(12)=0,100", nullptr, "10,00"},
        RowCase{"T9FirstFatherAllele",
                {"14", "15", "12", "13", "12", "14"},
                "T9",
                Index,
                "1/2p(14)",
                "p(14)=0,250",
                nullptr,
                "2,00"},
        RowCase{"T9SecondFatherAllele",
                {"15", "14", "12", "13", "12", "14"},
                "T9",
                Index,
                "1/2p(14)",
                "p(14)=0,250",
                nullptr,
                "2,00"},
        RowCase{"T9FirstAlleleSharedWithMother",
                {"12", "14", "12", "13", "13", "14"},
                "T9",
                Index,
                "1/2p(14)",
                "p(14)=0,250",
                nullptr,
                "2,00"},
        RowCase{"T10", {"12", "14", "12", "12", "12", "12"}, "T10", Index, "1/2p(12)", "p(12)=0,100", nullptr, "5,00"},
        RowCase{"T11BeforeT12",
                {"12", "15", "12", "14", "12", "14"},
                "T11",
                Index,
                "1/(2p(12)+2p(14))",
                "p(12)=0,100",
                "p(14)=0,250",
                "1,43"},
        RowCase{"T11ChildOrderOfEntry",
                {"15", "14", "12", "14", "14", "12"},
                "T11",
                Index,
                "1/(2p(14)+2p(12))",
                "p(14)=0,250",
                "p(12)=0,100",
                "1,43"},
        RowCase{"T12HomozygousFather",
                {"12", "12", "12", "14", "12", "14"},
                "T12",
                Index,
                "1/(p(12)+p(14))",
                "p(12)=0,100",
                "p(14)=0,250",
                "2,86"},
        RowCase{"T12FatherLikeMother",
                {"12", "14", "12", "14", "12", "14"},
                "T12",
                Index,
                "1/(p(12)+p(14))",
                "p(12)=0,100",
                "p(14)=0,250",
                "2,86"},
        RowCase{"T13FirstFatherAllele",
                {"12", "14", "13", "14", "12", "14"},
                "T13",
                Index,
                "1/2p(12)",
                "p(12)=0,100",
                nullptr,
                "5,00"},
        RowCase{"T13SecondFatherAllele",
                {"12", "14", "12", "13", "14", "12"},
                "T13",
                Index,
                "1/2p(14)",
                "p(14)=0,250",
                nullptr,
                "2,00"}),
    [](const testing::TestParamInfo<RowCase>& info) { return std::string(info.param.name); });

TEST(EvaluateLocus, LrValueIsUnrounded)
{
    const auto out = evaluate(enginetest::standardLocus(), {"9,3", "9,3", kNo, kNo, "9,3", "9,3"});
    EXPECT_EQ(out.lrValue, 1.0L / 0.0004L);
    const auto t11 = evaluate(enginetest::standardLocus(), {"12", "15", "12", "14", "12", "14"});
    EXPECT_EQ(t11.lrValue, 0.5L / (0.1L + 0.25L));
}

TEST(EvaluateLocus, D2KeepsItsOrderOfOperations)
{
    const auto locus = enginetest::makeLocus({{"a", 0.3L}, {"b", 0.07L}});
    const auto out = EvaluateLocus(locus, 1, 2, freqdb::NoAllele, freqdb::NoAllele, 1, 2, kComma);
    EXPECT_EQ(out.lrValue, ((0.3L + 0.07L) / 4.0L) / 0.3L / 0.07L);
}

// Probability of the child's genotype given the transmitting parents, from Mendel's rules: a
// parent passes each of its alleles with probability 1/2; an untyped parent passes allele x
// with its population frequency. The LR is P(child | mother, father) / P(child | mother,
// random man), and its zero cases are the exclusions. This checks every table row against
// genetics rather than against the tables.
struct Reference {
    long double x = 0; // with the alleged father
    long double y = 0; // with a random man
};

Reference mendel(const freqdb::LocusRecord& l, int f1, int f2, int m1, int m2, int c1, int c2, bool duo)
{
    const auto p = [&](int a) { return l.Frequencies[a]; };
    // Probability that a parent passing `given` and a random parent produce {c1, c2}.
    const auto withRandom = [&](int given) -> long double {
        if (given == c1)
            return p(c2);
        if (given == c2)
            return p(c1);
        return 0;
    };
    Reference r;
    if (duo) {
        r.x = 0.5L * withRandom(f1) + 0.5L * withRandom(f2);
        r.y = c1 == c2 ? p(c1) * p(c1) : 2 * p(c1) * p(c2);
        return r;
    }
    for (int m : {m1, m2}) {
        r.y += 0.5L * withRandom(m);
        for (int f : {f1, f2}) {
            const bool makesChild = (m == c1 && f == c2) || (m == c2 && f == c1);
            r.x += makesChild ? 0.25L : 0;
        }
    }
    return r;
}

TEST(EvaluateLocus, EveryConstellationAgreesWithMendel)
{
    const auto locus = enginetest::makeLocus({{"a", 0.1L}, {"b", 0.2L}, {"c", 0.25L}, {"d", 0.05L}, {"e", 0.125L}});
    int evaluated = 0;
    for (int f1 = 1; f1 <= 5; ++f1)
        for (int f2 = 1; f2 <= 5; ++f2)
            for (int m1 = 0; m1 <= 5; ++m1) // 0 stands for "Нет" here
                for (int m2 = 1; m2 <= 5; ++m2)
                    for (int c1 = 1; c1 <= 5; ++c1)
                        for (int c2 = 1; c2 <= 5; ++c2) {
                            const bool duo = m1 == 0;
                            const auto u = [](int a) { return static_cast<std::uint8_t>(a); };
                            const auto out = EvaluateLocus(locus, u(f1), u(f2), duo ? freqdb::NoAllele : u(m1), u(m2),
                                                           u(c1), u(c2), kComma);
                            const Reference ref = mendel(locus, f1, f2, m1, m2, c1, c2, duo);
                            SCOPED_TRACE(testing::Message() << "father " << f1 << "/" << f2 << " mother "
                                                            << (duo ? "-" : std::to_string(m1)) << "/" << m2
                                                            << " child " << c1 << "/" << c2 << " rule " << out.rule);
                            ++evaluated;
                            if (!duo && ref.y == 0) {
                                ASSERT_EQ(out.verdict, Verdict::MaternityExcluded);
                                EXPECT_EQ(out.lr, "");
                            } else if (ref.x == 0) {
                                ASSERT_EQ(out.verdict, Verdict::PaternityExcluded);
                                EXPECT_EQ(out.lr, "0");
                            } else {
                                ASSERT_EQ(out.verdict, Verdict::Index);
                                const long double expected = ref.x / ref.y;
                                EXPECT_NEAR(static_cast<double>(out.lrValue / expected), 1.0, 1e-15);
                                EXPECT_EQ(out.lr, kComma.lr(out.lrValue));
                            }
                            ASSERT_EQ(out.rule.front(), duo ? 'D' : 'T');
                        }
    EXPECT_EQ(evaluated, 5 * 5 * 6 * 5 * 5 * 5);
}

struct FailCase {
    const char* name;
    Genotypes genotypes;
    const char* messagePart;
};

class FailTest : public testing::TestWithParam<FailCase> {};

TEST_P(FailTest, NoLrAndARussianMessage)
{
    const FailCase& c = GetParam();
    const auto out = evaluate(enginetest::standardLocus(), c.genotypes);
    EXPECT_EQ(out.verdict, Verdict::Failed);
    EXPECT_EQ(out.lr, "");
    EXPECT_EQ(out.rule, "");
    EXPECT_FALSE(out.frequency1.has_value());
    EXPECT_FALSE(out.frequency2.has_value());
    EXPECT_NE(out.formula.find(c.messagePart), std::string::npos) << out.formula;
    EXPECT_EQ(out.formula.find("inf"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    ZeroFrequency, FailTest,
    testing::Values(FailCase{"D1", {"17", "17", kNo, kNo, "17", "17"}, "LR не вычисляется: частота аллеля 17 равна 0"},
                    FailCase{"D2SecondAllele", {"12", "17", kNo, kNo, "12", "17"}, "частота аллеля 17 равна 0"},
                    FailCase{"D7", {"17", "14", kNo, kNo, "17", "12"}, "частота аллеля 17 равна 0"},
                    FailCase{"T10", {"17", "14", "17", "12", "17", "17"}, "частота аллеля 17 равна 0"}),
    [](const testing::TestParamInfo<FailCase>& info) { return std::string(info.param.name); });

TEST(EvaluateLocus, SumOfFrequenciesDividesOnlyWhenBothAreZero)
{
    const auto locus = enginetest::makeLocus({{"12", 0.0L}, {"14", 0.25L}, {"17", 0.0L}, {"15", 0.1L}});
    // T12 with one zero frequency: 1 / (0 + 0.25) is a number.
    const auto one = EvaluateLocus(locus, 1, 1, 1, 2, 1, 2, kComma);
    EXPECT_EQ(one.rule, "T12");
    EXPECT_EQ(one.lr, "4,00");
    EXPECT_EQ(one.frequency1, "p(12)=0,000");
    // T11 with both zero: refused, both alleles named.
    const auto both = EvaluateLocus(locus, 1, 4, 1, 3, 1, 3, kComma);
    EXPECT_EQ(both.verdict, Verdict::Failed);
    EXPECT_EQ(both.formula, "LR не вычисляется: сумма частот аллелей 12 и 17 равна 0");
}

TEST(EvaluateLocus, InvalidFrequencyIsRefused)
{
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    for (long double bad : {-0.1L, nan, std::numeric_limits<long double>::infinity()}) {
        const auto locus = enginetest::makeLocus({{"12", bad}, {"14", 0.25L}});
        const auto out = EvaluateLocus(locus, 1, 1, freqdb::NoAllele, freqdb::NoAllele, 1, 1, kComma);
        EXPECT_EQ(out.verdict, Verdict::Failed);
        EXPECT_EQ(out.formula, "LR не вычисляется: неверная частота аллеля 12");
        EXPECT_EQ(out.lr, "");
    }
}

TEST(EvaluateLocus, ZeroFrequencyOfAnUnlabelledAlleleIsNamedByNumber)
{
    const auto locus = enginetest::makeLocus({{"12", 0.1L}, {"", 0.0L}});
    const auto out = EvaluateLocus(locus, 2, 2, freqdb::NoAllele, freqdb::NoAllele, 2, 2, kComma);
    EXPECT_EQ(out.formula, "LR не вычисляется: частота аллеля №2 равна 0");
}

TEST(EvaluateLocus, ExclusionNeedsNoFrequency)
{
    // A verdict divides by nothing, so a zero frequency does not stop it.
    const auto out = evaluate(enginetest::standardLocus(), {"17", "17", kNo, kNo, "14", "14"});
    EXPECT_EQ(out.verdict, Verdict::PaternityExcluded);
}

TEST(EvaluateLocus, IndexOutsideTheLocusIsRefused)
{
    const auto locus = enginetest::standardLocus(); // 9 alleles
    const std::uint8_t n = locus.AlleleCount;
    const auto none = freqdb::NoAllele;
    struct Args {
        std::uint8_t f1, f2, m1, m2, c1, c2;
        const char* role;
    };
    for (const Args& a :
         {Args{0, 1, 1, 1, 1, 1, "(отец)"}, Args{1, static_cast<std::uint8_t>(n + 1), 1, 1, 1, 1, "(отец)"},
          Args{none, 1, 1, 1, 1, 1, "(отец)"}, Args{1, 1, 1, 1, 0, 1, "(ребенок)"},
          Args{1, 1, 1, 1, 1, none, "(ребенок)"}, Args{1, 1, 0, 1, 1, 1, "(мать)"},
          Args{1, 1, 1, 200, 1, 1, "(мать)"}}) {
        const auto out = EvaluateLocus(locus, a.f1, a.f2, a.m1, a.m2, a.c1, a.c2, kComma);
        EXPECT_EQ(out.verdict, Verdict::Failed);
        EXPECT_EQ(out.lr, "");
        EXPECT_NE(out.formula.find(a.role), std::string::npos) << out.formula;
    }
    const auto empty = EvaluateLocus(freqdb::LocusRecord{}, 1, 1, none, none, 1, 1, kComma);
    EXPECT_EQ(empty.verdict, Verdict::Failed);
}

TEST(EvaluateLocus, UsesTheSeparatorItIsGiven)
{
    const text::NumberFormat point(".");
    const auto locus = enginetest::standardLocus();
    const auto out = EvaluateLocus(locus, 3, 3, freqdb::NoAllele, freqdb::NoAllele, 3, 1, point);
    EXPECT_EQ(out.formula, "1/2p(14)");
    EXPECT_EQ(out.frequency1, "p(14)=0.250");
    EXPECT_EQ(out.lr, "2.00");
}

} // namespace
