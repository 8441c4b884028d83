// SPDX-License-Identifier: GPL-3.0-or-later
#include "freqdb/windows1251order.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace freqdb {
namespace {

struct OrderCase {
    const char* name;
    std::string before;
    std::string after;
};

void PrintTo(const OrderCase& c, std::ostream* os)
{
    *os << c.before << " < " << c.after;
}

class Windows1251OrderTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(Windows1251OrderTest, SortsBefore)
{
    const OrderCase& c = GetParam();
    EXPECT_TRUE(windows1251Less(c.before, c.after)) << c.before << " < " << c.after;
    EXPECT_FALSE(windows1251Less(c.after, c.before)) << c.after << " < " << c.before;
}

INSTANTIATE_TEST_SUITE_P(Names, Windows1251OrderTest,
                         ::testing::Values(OrderCase{"HyphenBeforeDot", "AB-1.xls", "AB.xls"},
                                           OrderCase{"UpperBeforeLowerLatin", "TPOX.xls", "vWA.xls"},
                                           OrderCase{"DigitBeforeLetter", "D10S1248.xls", "D1S1656.xls"},
                                           OrderCase{"BlankBeforeLetter", "Penta D.xls", "PentaD.xls"},
                                           OrderCase{"PrefixFirst", "AB", "AB.xls"},
                                           OrderCase{"LatinBeforeCyrillic", "zeta.xls", "Альфа.xls"},
                                           OrderCase{"UpperBeforeLowerCyrillic", "Яблоко.xls", "абв.xls"},
                                           // Ё is 0xA8 in Windows-1251, below А (0xC0); ё is 0xB8, below а (0xE0).
                                           OrderCase{"YoBeforeA", "Ёж.xls", "Аж.xls"},
                                           OrderCase{"SmallYoBeforeCapitalA", "ёж.xls", "Аж.xls"},
                                           OrderCase{"NumeroSignBeforeCyrillic", "№1.xls", "А1.xls"},
                                           OrderCase{"OutsideCodePageAfterYa", "я.xls", "Ω.xls"},
                                           OrderCase{"OutsideCodePageByCodePoint", "Ω.xls", "中.xls"},
                                           OrderCase{"InvalidUtf8Last", "中.xls", "\xFF.xls"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Windows1251SortKey, GivesCodePageBytes)
{
    EXPECT_EQ(windows1251SortKey("Aя-"), (std::vector<std::uint32_t>{0x41, 0xFF, 0x2D}));
    EXPECT_EQ(windows1251SortKey("Ё€"), (std::vector<std::uint32_t>{0xA8, 0x88}));
    // A truncated sequence is one key per byte, never a read past the end.
    EXPECT_EQ(windows1251SortKey("\xD0"), (std::vector<std::uint32_t>{0x110100 + 0xD0}));
}

} // namespace
} // namespace freqdb
