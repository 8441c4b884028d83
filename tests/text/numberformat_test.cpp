// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/numberformat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <limits>
#include <string>

namespace {

struct FixedCase {
    const char* name;
    long double value;
    int significant;
    int decimals;
    const char* expected;
};

class FixedTest : public testing::TestWithParam<FixedCase> {};

TEST_P(FixedTest, Writes)
{
    const text::NumberFormat format(",");
    const FixedCase& c = GetParam();
    EXPECT_EQ(format.fixed(c.value, c.significant, c.decimals), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    NumberFormat, FixedTest,
    testing::Values(
        // LR form: 5 significant digits, 2 decimals.
        FixedCase{"Ten", 10, 5, 2, "10,00"}, FixedCase{"DecimalHalfUp", 4.065L, 5, 2, "4,07"},
        FixedCase{"DecimalHalfOfDouble", 4.065, 5, 2, "4,07"},
        FixedCase{"SignificantBeforeDecimals", 1428.5714L, 5, 2, "1428,60"},
        FixedCase{"ComputedQuotient", 10000.0L / 7.0L, 5, 2, "1428,60"},
        FixedCase{"RoundsDownBelowHalf", 4.0649L, 5, 2, "4,06"}, FixedCase{"CarryIntoNewDigit", 9.999L, 5, 2, "10,00"},
        FixedCase{"Zero", 0, 5, 2, "0,00"}, FixedCase{"Negative", -3.14159L, 5, 2, "-3,14"},
        FixedCase{"NegativeHalfAwayFromZero", -2.345L, 5, 2, "-2,35"},
        FixedCase{"NegativeRoundingToZeroHasNoSign", -0.001L, 5, 2, "0,00"},
        // Frequency form: 5 significant digits, 3 decimals.
        FixedCase{"FrequencyTenth", 0.1L, 5, 3, "0,100"}, FixedCase{"FrequencyRoundsUp", 0.0007L, 5, 3, "0,001"},
        FixedCase{"FrequencyHalfUp", 0.0005L, 5, 3, "0,001"},
        FixedCase{"FrequencyBelowHalf", 0.0004999L, 5, 3, "0,000"},
        FixedCase{"FrequencyBinaryBelowHalf", 0.1235L, 5, 3, "0,124"},
        // CPI forms.
        FixedCase{"CpiShort", 2.4567L, 3, 1, "2,5"}, FixedCase{"CpiOne", 1, 3, 1, "1,0"},
        FixedCase{"CpiZero", 0, 3, 1, "0,0"}, FixedCase{"CpiJustBelowTen", 9.96L, 3, 1, "10,0"},
        FixedCase{"CpiWhole", 12345.678L, 7, 0, "12346"}, FixedCase{"CpiHundred", 100, 5, 0, "100"},
        FixedCase{"CpiWholeHalf", 12.5L, 4, 0, "13"},
        // Probability forms.
        FixedCase{"ProbabilityFourDecimals", 9900.0L / 99.99L, 6, 4, "99,0099"},
        FixedCase{"ProbabilityHalf", 50, 6, 4, "50,0000"},
        FixedCase{"ProbabilityTwoDecimals", 100.0L * 2500 / 2500.5L, 4, 2, "99,98"},
        FixedCase{"ProbabilityFiveDecimals", 100.0L * 500000 / 500000.5L, 7, 5, "99,99990"},
        FixedCase{"SignificantLimitCutsIntegerDigits", 123456, 3, 0, "123000"},
        FixedCase{"SmallerThanLastDigit", 0.00001L, 5, 3, "0,000"},
        FixedCase{"DigitsBeyondExpansionArePadded", 1e20L, 25, 2, "100000000000000000000,00"},
        FixedCase{"NanIsWrittenAsZero", std::numeric_limits<long double>::quiet_NaN(), 5, 2, "0,00"},
        FixedCase{"InfinityIsWrittenAsZero", std::numeric_limits<long double>::infinity(), 3, 1, "0,0"}),
    [](const testing::TestParamInfo<FixedCase>& info) { return std::string(info.param.name); });

TEST(NumberFormat, LrSwitchesToScientificAboveFiveIntegerDigits)
{
    const text::NumberFormat format(",");
    EXPECT_EQ(format.lr(99999.99L), "1,0000E+05");
    EXPECT_EQ(format.lr(12345.678L), "12346,00");
    EXPECT_EQ(format.lr(99999.4L), "99999,00");
    // Rounding to five significant digits reaches 100000: six integer digits.
    EXPECT_EQ(format.lr(99999.6L), "1,0000E+05");
    EXPECT_EQ(format.lr(123456.7L), "1,2346E+05");
    EXPECT_EQ(format.lr(1e30L), "1,0000E+30");
    EXPECT_EQ(format.lr(2.5e100L), "2,5000E+100");
}

TEST(NumberFormat, LrScientificFormReadsBack)
{
    const text::NumberFormat format(",");
    for (long double v : {123456.7L, 1e6L, 9.87654e12L, 1e300L}) {
        const auto back = format.parse(format.lr(v));
        ASSERT_TRUE(back.has_value()) << format.lr(v);
        EXPECT_NEAR(static_cast<double>(*back / v), 1.0, 1e-4) << format.lr(v);
    }
}

TEST(NumberFormat, FrequencyAndLrUseTheirForms)
{
    const text::NumberFormat format(",");
    EXPECT_EQ(format.frequency(0.1L), "0,100");
    EXPECT_EQ(format.frequency(0.0007L), "0,001");
    EXPECT_EQ(format.lr(10), "10,00");
    EXPECT_EQ(format.lr(4.065L), "4,07");
}

TEST(NumberFormat, GeneralIsShortest)
{
    const text::NumberFormat format(",");
    EXPECT_EQ(format.general(0.5L), "0,5");
    EXPECT_EQ(format.general(10), "10");
    EXPECT_EQ(format.general(9.3L), "9,3");
    EXPECT_EQ(format.general(0), "0");
    EXPECT_EQ(format.general(1), "1");
    EXPECT_EQ(format.general(-0.25L), "-0,25");
    EXPECT_EQ(format.general(1.0L / 3.0L), "0,333333333333333");
    EXPECT_EQ(format.general(2.0L / 3.0L), "0,666666666666667");
    EXPECT_EQ(format.general(123456789012345.0L), "123456789012345");
    EXPECT_EQ(format.general(1e20L), "1E+20");
    EXPECT_EQ(format.general(1.5e-7L), "1,5E-07");
}

TEST(NumberFormat, OtherSeparator)
{
    const text::NumberFormat format(".");
    EXPECT_EQ(format.lr(4.065L), "4.07");
    EXPECT_EQ(format.general(0.5L), "0.5");
    EXPECT_EQ(format.lr(123456.7L), "1.2346E+05");
    EXPECT_EQ(format.parse("0.5"), 0.5L);
    EXPECT_FALSE(format.parse("0,5").has_value());
}

struct ParseCase {
    const char* name;
    const char* text;
    bool valid;
    long double value;
};

class ParseTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseTest, Reads)
{
    const text::NumberFormat format(",");
    const ParseCase& c = GetParam();
    const auto value = format.parse(c.text);
    ASSERT_EQ(value.has_value(), c.valid) << '"' << c.text << '"';
    if (c.valid) {
        EXPECT_EQ(*value, c.value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    NumberFormat, ParseTest,
    testing::Values(ParseCase{"Half", "0,5", true, 0.5L}, ParseCase{"Integer", "10", true, 10},
                    ParseCase{"Lr", "3,25", true, 3.25L}, ParseCase{"Negative", "-0,2", true, -0.2L},
                    ParseCase{"PlusSign", "+1,5", true, 1.5L}, ParseCase{"Exponent", "1,2346E+05", true, 123460},
                    ParseCase{"LowerExponent", "2e-3", true, 0.002L}, ParseCase{"NoIntegerDigits", ",5", true, 0.5L},
                    ParseCase{"NoDecimalDigits", "5,", true, 5}, ParseCase{"ZeroLr", "0", true, 0},
                    ParseCase{"Point", "0.5", false, 0}, ParseCase{"Empty", "", false, 0},
                    ParseCase{"Blank", " ", false, 0}, ParseCase{"LeadingBlank", " 0,5", true, 0.5L},
                    ParseCase{"TrailingBlankAndTab", "0,5 \t", true, 0.5L}, ParseCase{"BlankInside", "0, 5", false, 0},
                    ParseCase{"Letters", "abc", false, 0}, ParseCase{"Nan", "nan", false, 0},
                    ParseCase{"Inf", "inf", false, 0}, ParseCase{"Infinity", "-Infinity", false, 0},
                    ParseCase{"Hex", "0x10", false, 0}, ParseCase{"Grouping", "1 000", false, 0},
                    ParseCase{"TwoSeparators", "1,2,3", false, 0}, ParseCase{"BareSeparator", ",", false, 0},
                    ParseCase{"BareSign", "-", false, 0}, ParseCase{"ExponentWithoutDigits", "1E", false, 0},
                    ParseCase{"ExponentWithoutMantissa", "E5", false, 0}, ParseCase{"Overflow", "1E+5000", false, 0},
                    ParseCase{"Underflow", "1E-5000", false, 0}),
    [](const testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

TEST(NumberFormat, LrTextsReadBackWithinRounding)
{
    const text::NumberFormat format(",");
    for (long double v : {0.0L, 0.004L, 1.25L, 4.065L, 1428.5714L, 99999.4L}) {
        const auto back = format.parse(format.lr(v));
        ASSERT_TRUE(back.has_value()) << format.lr(v);
        // Off by at most half the last kept digit: 2 decimals or 5 significant digits.
        const double tolerance = std::max(0.005, 5e-5 * static_cast<double>(v)) + 1e-9;
        EXPECT_NEAR(static_cast<double>(*back), static_cast<double>(v), tolerance) << format.lr(v);
    }
}

TEST(NumberFormat, ProcessLocaleDoesNotMatter)
{
    // The window's toolkit switches the process locale to the user's; writing and reading
    // must not follow it (a German or Russian LC_NUMERIC would turn the point into a comma).
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "ru_RU.UTF-8"))
        GTEST_SKIP() << "ru_RU.UTF-8 locale is not installed";
    const text::NumberFormat format(".");
    const std::string written = format.lr(4.065L);
    const auto read = format.parse("0.5");
    std::setlocale(LC_NUMERIC, before.c_str());
    EXPECT_EQ(written, "4.07");
    EXPECT_EQ(read, 0.5L);
}

} // namespace
