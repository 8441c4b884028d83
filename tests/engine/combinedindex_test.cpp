// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/combinedindex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/enginetexts.h"

namespace {

using engine::CombinedIndexRow;
using engine::CombinedIndexStatus;
using engine::CombineIndex;

const text::NumberFormat kComma(",");
const std::string kCpi = "Индекс отцовства (Combined Paternity Index) CPI=";

std::string probability(const std::string& w, const std::string& pp)
{
    return "Вероятность отцовства P=" + w + "% (априор.вероятность pp=" + pp + ")";
}

// Marked rows numbered 1.. with the given LR texts.
std::vector<CombinedIndexRow> marked(const std::vector<std::string>& lrs)
{
    std::vector<CombinedIndexRow> rows;
    for (const auto& lr : lrs)
        rows.push_back({std::to_string(rows.size() + 1), lr, "++"});
    return rows;
}

// The number between the probability prefix and "%".
std::string probabilityNumber(const std::string& text)
{
    const std::string prefix(engine::kProbabilityPrefix);
    const auto end = text.find('%');
    if (text.rfind(prefix, 0) != 0 || end == std::string::npos)
        return {};
    return text.substr(prefix.size(), end - prefix.size());
}

void expectWellFormed(const engine::CombinedIndexResult& r)
{
    for (const std::string* t : {&r.cpiText, &r.probabilityText}) {
        EXPECT_EQ(t->find("nan"), std::string::npos) << *t;
        EXPECT_EQ(t->find("inf"), std::string::npos) << *t;
    }
    if (r.status == CombinedIndexStatus::Ok) {
        std::string number = probabilityNumber(r.probabilityText);
        if (number.starts_with("> "))
            number.erase(0, 2);
        const auto w = kComma.parse(number);
        ASSERT_TRUE(w.has_value()) << r.probabilityText;
        EXPECT_GE(*w, 0) << r.probabilityText;
        EXPECT_LE(*w, 100) << r.probabilityText;
    }
}

struct ExampleCase {
    const char* name;
    std::vector<std::string> lrs;
    const char* prior;
    const char* cpi;
    const char* w;
    const char* pp;
};

class ExampleTest : public testing::TestWithParam<ExampleCase> {};

TEST_P(ExampleTest, Texts)
{
    const ExampleCase& c = GetParam();
    const auto r = CombineIndex(marked(c.lrs), c.prior, kComma);
    EXPECT_EQ(r.status, CombinedIndexStatus::Ok) << r.message;
    EXPECT_EQ(r.cpiText, kCpi + c.cpi);
    EXPECT_EQ(r.probabilityText, probability(c.w, c.pp));
    EXPECT_FALSE(r.priorReset);
    expectWellFormed(r);
}

INSTANTIATE_TEST_SUITE_P(
    CombineIndex, ExampleTest,
    testing::Values(ExampleCase{"OneLocus", {"3,25"}, "0,5", "3,3", "76,4706", "0,5"},
                    ExampleCase{"One", {"1,00"}, "0,5", "1,0", "50,0000", "0,5"},
                    ExampleCase{"Product", {"2,00", "2,50"}, "0,5", "5,0", "83,3333", "0,5"},
                    ExampleCase{"ExactlyTenIsWhole", {"2,00", "5,00"}, "0,5", "10", "90,9091", "0,5"},
                    ExampleCase{"JustBelowTenStaysShort", {"9,96"}, "0,5", "10,0", "90,8759", "0,5"},
                    ExampleCase{"Hundred", {"10,00", "10,00"}, "0,5", "100", "99,0099", "0,5"},
                    ExampleCase{"HundredWithPriorNineTenths", {"100,00"}, "0,9", "100", "99,8890", "0,9"},
                    ExampleCase{"JustBelowThreshold", {"998,00"}, "0,5", "998", "99,8999", "0,5"},
                    // Past q = 0.001 the short form begins (a switch at P = 1000 would keep 4 decimals);
                    // the whole-number CPI rounds its half away from zero.
                    ExampleCase{"JustPastThreshold", {"999,50"}, "0,5", "1000", "99,90", "0,5"},
                    ExampleCase{"TwoDecimals", {"5000,00"}, "0,5", "5000", "99,98", "0,5"},
                    ExampleCase{"ThreeDecimalsFromTenThousand", {"10000,00"}, "0,5", "10000", "99,990", "0,5"},
                    ExampleCase{"ThreeDecimals", {"12345,678"}, "0,5", "12346", "99,992", "0,5"},
                    ExampleCase{"FiveDecimals", {"1,0000E+06"}, "0,5", "1000000", "99,99990", "0,5"},
                    ExampleCase{"Exclusion", {"3,25", "0", "12,00"}, "0,5", "0,0", "0,0000", "0,5"},
                    ExampleCase{"PriorZero", {"5,00"}, "0", "5,0", "0,0000", "0"},
                    ExampleCase{"PriorOne", {"5,00"}, "1", "5,0", "100,0000", "1"},
                    ExampleCase{"PriorInGeneralNotation", {"1,00"}, "0,250", "1,0", "25,0000", "0,25"},
                    ExampleCase{"PriorWithExponent", {"1,00"}, "5E-1", "1,0", "50,0000", "0,5"}),
    [](const testing::TestParamInfo<ExampleCase>& info) { return std::string(info.param.name); });

TEST(CombineIndex, PriorThatIsNoNumberFallsBackToOneHalf)
{
    for (const char* prior : {"abc", "", " ", "0, 5", "0.5.5", "0,5.5", "1,000.5"}) {
        const auto r = CombineIndex(marked({"3,25"}), prior, kComma);
        EXPECT_EQ(r.status, CombinedIndexStatus::Ok) << prior;
        EXPECT_TRUE(r.priorReset) << prior;
        EXPECT_EQ(r.probabilityText, probability("76,4706", "0,5")) << prior;
    }
}

// The operator's keyboard decides whether the prior is typed with a point or a comma; both
// read as the same number whichever separator the program writes.
TEST(CombineIndex, PriorReadsWithAPointOrAComma)
{
    const struct {
        const char* separator;
        const char* prior;
        const char* shown; // pp as the probability text writes it
    } cases[] = {
        {",", "0.9", "0,9"}, {",", "0,9", "0,9"}, {",", " 9.5E-1 ", "0,95"}, {".", "0,9", "0.9"}, {".", "0.9", "0.9"}};
    for (const auto& c : cases) {
        const text::NumberFormat format(c.separator);
        const auto r = CombineIndex(marked({std::string("1") + c.separator + "00"}), c.prior, format);
        ASSERT_EQ(r.status, CombinedIndexStatus::Ok) << c.prior;
        EXPECT_FALSE(r.priorReset) << c.prior;
        EXPECT_NE(r.probabilityText.find(std::string("pp=") + c.shown + ")"), std::string::npos) << r.probabilityText;
    }
    // A point does not get past the range check either.
    EXPECT_EQ(CombineIndex(marked({"3,25"}), "1.5", kComma).status, CombinedIndexStatus::BadPrior);
}

TEST(CombineIndex, PriorOutsideZeroToOneIsRefused)
{
    for (const char* prior : {"1,5", "-0,2", "1,0000001", "1E+3"}) {
        const auto r = CombineIndex(marked({"3,25"}), prior, kComma);
        EXPECT_EQ(r.status, CombinedIndexStatus::BadPrior) << prior;
        EXPECT_EQ(r.message, engine::kBadPrior);
        EXPECT_EQ(r.cpiText, "");
        EXPECT_EQ(r.probabilityText, "");
        EXPECT_FALSE(r.priorReset);
    }
}

TEST(CombineIndex, ZeroDenominatorWritesTheCpiOnly)
{
    const auto r = CombineIndex(marked({"4,00", "0"}), "1", kComma);
    EXPECT_EQ(r.status, CombinedIndexStatus::Undefined);
    EXPECT_EQ(r.cpiText, kCpi + "0,0");
    EXPECT_EQ(r.probabilityText, "");
    EXPECT_EQ(r.message, engine::kUndefinedProbability);
}

struct SelectionCase {
    const char* name;
    std::vector<CombinedIndexRow> rows;
    bool found;
    const char* cpi; // when found
};

class SelectionTest : public testing::TestWithParam<SelectionCase> {};

TEST_P(SelectionTest, Rows)
{
    const SelectionCase& c = GetParam();
    const auto r = CombineIndex(c.rows, "0,5", kComma);
    if (!c.found) {
        EXPECT_EQ(r.status, CombinedIndexStatus::NoSelection);
        EXPECT_EQ(r.message, "Выберите локусы");
        EXPECT_EQ(r.cpiText, "");
        return;
    }
    EXPECT_EQ(r.status, CombinedIndexStatus::Ok);
    EXPECT_EQ(r.cpiText, kCpi + c.cpi);
}

INSTANTIATE_TEST_SUITE_P(
    CombineIndex, SelectionTest,
    testing::Values(
        SelectionCase{"NoRows", {}, false, ""},
        SelectionCase{"NoMarks", {{"1", "2,00", ""}, {"2", "3,00", ""}}, false, ""},
        SelectionCase{"OnlyMarkedRowIsMaternityExclusion", {{"1", "2,00", ""}, {"2", "", "++"}}, false, ""},
        SelectionCase{"MarkMustBeExact", {{"1", "2,00", "+"}, {"2", "3,00", "++ "}}, false, ""},
        SelectionCase{"EmptyNumberEndsTheSearch", {{"", "2,00", ""}, {"2", "3,00", "++"}}, false, ""},
        SelectionCase{"SelectedRowWithoutNumber", {{"", "2,00", "++"}}, false, ""},
        SelectionCase{"UnmarkedRowsSkipped", {{"1", "2,00", ""}, {"2", "3,00", "++"}, {"3", "7,00", ""}}, true, "3,0"},
        SelectionCase{"EmptyLrSkipped", {{"1", "2,00", "++"}, {"2", "", "++"}, {"3", "3,00", "++"}}, true, "6,0"},
        SelectionCase{"LaterRowWithoutNumberStillCounts", {{"1", "2,00", "++"}, {"", "3,00", "++"}}, true, "6,0"},
        SelectionCase{"UnmarkedBadLrIgnored", {{"1", "abc", ""}, {"2", "3,00", "++"}}, true, "3,0"}),
    [](const testing::TestParamInfo<SelectionCase>& info) { return std::string(info.param.name); });

TEST(CombineIndex, LrThatIsNoNumberNamesItsRow)
{
    std::vector<CombinedIndexRow> rows = marked({"2,00", "3,00", "3.25"});
    const auto r = CombineIndex(rows, "abc", kComma);
    EXPECT_EQ(r.status, CombinedIndexStatus::BadLr);
    EXPECT_EQ(r.message, "Неверное значение LR в строке 3: \"3.25\"");
    EXPECT_EQ(r.cpiText, "");
    EXPECT_FALSE(r.priorReset); // abandoned before the prior is read

    rows[1].lr = "-4,00";
    const auto negative = CombineIndex(rows, "0,5", kComma);
    EXPECT_EQ(negative.status, CombinedIndexStatus::BadLr);
    EXPECT_NE(negative.message.find("строке 2"), std::string::npos) << negative.message;
}

TEST(CombineIndex, HugeProductsStayWellFormed)
{
    // 10^21: beyond the whole-number form; W lies closer to 100 than 17 decimals tell, and is
    // below 100 all the same.
    const auto huge = CombineIndex(marked({"1,0000E+07", "1,0000E+07", "1,0000E+07"}), "0,5", kComma);
    EXPECT_EQ(huge.status, CombinedIndexStatus::Ok);
    EXPECT_EQ(huge.cpiText, kCpi + "1,0000E+21");
    EXPECT_EQ(huge.probabilityText, probability("> 99,99999999999999999", "0,5"));
    // 10^17: the decimals that tell it from 100.
    const auto large = CombineIndex(marked({"1,0000E+08", "1,0000E+09"}), "0,5", kComma);
    EXPECT_EQ(large.probabilityText, probability("99,9999999999999990", "0,5"));
    expectWellFormed(huge);

    // Just below 10^18 the regular forms still apply.
    const auto below = CombineIndex(marked({"9,9999E+08", "1,0000E+09"}), "0,5", kComma);
    EXPECT_EQ(below.cpiText, kCpi + "999990000000000000");
    expectWellFormed(below);

    // 99 rows of 10^100 overflow the long double range.
    const auto overflow = CombineIndex(marked(std::vector<std::string>(99, "1,0000E+100")), "0,5", kComma);
    EXPECT_EQ(overflow.status, CombinedIndexStatus::Ok);
    EXPECT_EQ(overflow.cpiText, kCpi + "более 1,1897E+4932");
    EXPECT_EQ(overflow.probabilityText, probability("> 99,99999999999999999", "0,5"));

    // An exclusion among them still gives 0.
    std::vector<std::string> lrs(98, "1,0000E+100");
    lrs.push_back("0");
    const auto excluded = CombineIndex(marked(lrs), "0,5", kComma);
    EXPECT_EQ(excluded.cpiText, kCpi + "0,0");
    EXPECT_EQ(excluded.probabilityText, probability("0,0000", "0,5"));

    // Prior 0 with an infinite product: no 0 x inf; the decimals follow q as for any product.
    const auto zeroPrior = CombineIndex(marked(std::vector<std::string>(99, "1,0000E+100")), "0", kComma);
    EXPECT_EQ(zeroPrior.probabilityText, probability("0,00000000000000000", "0"));
}

TEST(CombineIndex, EveryProductAndPriorGivesWellFormedTexts)
{
    for (const char* prior : {"0", "1E-12", "0,001", "0,5", "0,9", "1"}) {
        for (long double p = 1e-4L; p < 1e40L; p *= 3.7L) {
            const auto r = CombineIndex(marked({kComma.general(p)}), prior, kComma);
            SCOPED_TRACE(r.cpiText + " / " + r.probabilityText);
            ASSERT_EQ(r.status, CombinedIndexStatus::Ok);
            EXPECT_TRUE(kComma.parse(r.cpiText.substr(kCpi.size())).has_value());
            expectWellFormed(r);
        }
    }
}

// Every product from the mutation model's smallest to past the whole-number form, every prior:
// the CPI text reads 0 only for an exclusion, W reads 0 only for an exclusion or a prior of 0 and
// 100 only for a prior of 1, and W agrees with Bayes' rule computed here to the digits it shows.
TEST(CombineIndex, NoTextReadsZeroOrCertaintyThatIsNot)
{
    for (const char* prior : {"0", "1E-12", "0,001", "0,5", "0,9", "0,99999999", "0,999999999999", "1"}) {
        const long double pp = *kComma.parse(prior);
        std::vector<long double> products = {0};
        for (long double p = 1e-30L; p < 1e25L; p *= 3.7L)
            products.push_back(p);
        for (const long double p : products) {
            // A product of LR texts as the table shows them (three significant digits below 1).
            const std::string lr = p < 1 ? kComma.scientific(p, 3) : kComma.general(p);
            const long double shownP = *kComma.parse(lr);
            const auto r = CombineIndex(marked({lr}), prior, kComma);
            SCOPED_TRACE(r.cpiText + " / " + r.probabilityText);
            if (shownP == 0 && pp == 1) {
                ASSERT_EQ(r.status, CombinedIndexStatus::Undefined);
                continue;
            }
            ASSERT_EQ(r.status, CombinedIndexStatus::Ok);
            expectWellFormed(r);
            EXPECT_EQ(*kComma.parse(r.cpiText.substr(kCpi.size())) == 0, shownP == 0);
            const std::string number = probabilityNumber(r.probabilityText);
            const long double expected = 100 * shownP * pp / (shownP * pp + (1 - pp));
            if (number.starts_with("> ")) {
                EXPECT_LT(pp, 1);
                EXPECT_GT(expected, 99.999999999999L);
                continue;
            }
            const long double w = *kComma.parse(number);
            EXPECT_EQ(w == 0, shownP == 0 || pp == 0);
            EXPECT_EQ(w == 100, pp == 1 && shownP > 0);
            const auto comma = number.find(',');
            const auto exponent = number.find('E');
            const long double tolerance = exponent != std::string::npos
                                              ? expected * 5e-3L
                                              : 0.5L * std::pow(10.0L, -static_cast<int>(number.size() - comma - 1));
            // Beyond the half unit of the last digit shown, the last bits of the two computations.
            EXPECT_LE(std::fabs(w - expected), tolerance * 1.0001L + expected * 1e-16L)
                << static_cast<double>(w) << " " << static_cast<double>(expected);
        }
    }
}

TEST(CombineIndex, PriorWithBlanksAroundIsANumber)
{
    const auto r = CombineIndex(marked({"3,25"}), " 0,5 ", kComma);
    EXPECT_EQ(r.status, CombinedIndexStatus::Ok);
    EXPECT_FALSE(r.priorReset);
    EXPECT_EQ(r.probabilityText, probability("76,4706", "0,5"));
}

} // namespace
