// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/shorttext.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct CutCase {
    const char* name;
    std::string text;
    std::size_t maxChars;
    std::size_t characters; // characterCount of the whole text
    std::string cut;
};

class CutTest : public testing::TestWithParam<CutCase> {};

TEST_P(CutTest, CountsCharactersAndCutsOnTheirBoundaries)
{
    const CutCase& c = GetParam();
    EXPECT_EQ(text::characterCount(c.text), c.characters);
    EXPECT_EQ(text::cutToCharacters(c.text, c.maxChars), c.cut);
}

// Locus names are cut to 20 characters, allele labels to 5; Cyrillic letters take two bytes,
// so a byte count would cut them short or in half.
INSTANTIATE_TEST_SUITE_P(
    ShortText, CutTest,
    testing::Values(CutCase{"Empty", "", 5, 0, ""}, CutCase{"ShorterThanLimit", "9,3", 5, 3, "9,3"},
                    CutCase{"ExactlyAtLimit", "12345", 5, 5, "12345"}, CutCase{"AsciiCut", "123456", 5, 6, "12345"},
                    CutCase{"CyrillicIsNotCutByBytes", "Нет", 5, 3, "Нет"},
                    CutCase{"CyrillicCutByCharacters", "абвгдеж", 5, 7, "абвгд"},
                    CutCase{"MixedCut", "12,ЖЖЖ", 5, 6, "12,ЖЖ"},
                    CutCase{"ThreeByteCharacters", "€€€€€€", 5, 6, "€€€€€"},
                    CutCase{"FourByteCharacters",
                            "\xF0\x9F\x98\x80"
                            "abcdef",
                            5, 7,
                            "\xF0\x9F\x98\x80"
                            "abcd"},
                    CutCase{"LocusNameOf21Letters", "ЛокусЛокусЛокусЛокусЛ", 20, 21, "ЛокусЛокусЛокусЛокус"},
                    CutCase{"BrokenByteCountsAsOne",
                            "\xFF"
                            "abcdef",
                            5, 7,
                            "\xFF"
                            "abcd"},
                    CutCase{"TruncatedSequenceCountsByteByByte", "ab\xD0", 5, 3, "ab\xD0"},
                    CutCase{"LoneContinuationBytes", "\x80\x80\x80\x80\x80\x80", 5, 6, "\x80\x80\x80\x80\x80"},
                    CutCase{"ZeroLimit", "абв", 0, 3, ""}),
    [](const testing::TestParamInfo<CutCase>& info) { return std::string(info.param.name); });

} // namespace
