// SPDX-License-Identifier: GPL-3.0-or-later
#include "automation/xstring.h"

#include <gtest/gtest.h>

namespace {

TEST(DecodeXString, EscapedCodeUnitsBecomeTheirCharacters)
{
    using automation::decodeXString;
    EXPECT_EQ(decodeXString("12_x000D__x000A_13"), "12\r\n13");
    EXPECT_EQ(decodeXString("_x005F_x0041_"), "_x0041_") << "an escaped literal stays literal";
    EXPECT_EQ(decodeXString("_x0414_"), "Д");
    EXPECT_EQ(decodeXString("_xD83D__xDE00_"), "\xF0\x9F\x98\x80") << "a surrogate pair is one character";
    EXPECT_EQ(decodeXString("_xD83D_"), "\xEF\xBF\xBD") << "a lone surrogate shows as a replacement";
    EXPECT_EQ(decodeXString("_x12_ _xZZZZ_ _x0041"), "_x12_ _xZZZZ_ _x0041") << "anything else is kept";
    EXPECT_EQ(decodeXString("D3S1358"), "D3S1358");
}

TEST(EscapeXStringLiterals, LiteralPatternsAreEscapedAndDecodeBack)
{
    using automation::decodeXString;
    using automation::escapeXStringLiterals;
    EXPECT_EQ(escapeXStringLiterals("_x0041_"), "_x005F_x0041_");
    EXPECT_EQ(escapeXStringLiterals("_x12_ p(12)=0,100"), "_x12_ p(12)=0,100");
    for (const char* t : {"_x0041_", "a_x000D_b_x005F_", "_x_x0041__x0042_"})
        EXPECT_EQ(decodeXString(escapeXStringLiterals(t)), t) << t;
}

} // namespace

#include <filesystem>
#include <unistd.h>

#include "automation/workbook.h"
#include "automation/workbookwriter.h"

namespace {

TEST(DecodeXString, ControlCharactersSurviveASaveAndAReadBack)
{
    const auto path = std::filesystem::temp_directory_path() / ("xstring-" + std::to_string(::getpid()) + ".xlsx");
    const std::vector<std::string> texts = {"12\r\n13",
                                            "a\x01"
                                            "b",
                                            "_x0041_", "Тест"};
    auto writer = automation::makeXlsxWorkbookWriter();
    writer->addWorksheet("Лист1");
    writer->setValues({1, 1, 1, 4}, {texts});
    writer->save(path);

    const auto book = automation::makeFileWorkbookReader()->open(path);
    const automation::CellArray cells = book->usedRange(1);
    std::filesystem::remove(path);
    ASSERT_EQ(cells.columns(), 4);
    for (int c = 1; c <= 4; ++c)
        EXPECT_EQ(std::get<std::string>(cells.at(1, c)), texts[c - 1]) << "column " << c;
}

} // namespace
