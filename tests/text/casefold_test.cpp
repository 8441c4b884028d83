// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/casefold.h"

#include <gtest/gtest.h>

namespace {

TEST(FoldCase, LatinAndCyrillicOfTheCodePageFoldOthersStay)
{
    EXPECT_EQ(text::foldCase("VWA-White"), "vwa-white");
    EXPECT_EQ(text::foldCase("ДАННЫЕ Ёж"), "данные ёж");
    EXPECT_EQ(text::foldCase("ЇҐІЎ"), "їґіў");
    EXPECT_EQ(text::foldCase("данные-rus"), "данные-rus");
    EXPECT_EQ(text::foldCase("ÄÖ 9,3"), "ÄÖ 9,3") << "letters outside the code page are kept";
    EXPECT_EQ(text::foldCase("\xD0"), "\xD0") << "a cut character is kept as it is";
}

} // namespace
