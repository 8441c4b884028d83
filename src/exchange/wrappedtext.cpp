// SPDX-License-Identifier: GPL-3.0-or-later
#include "wrappedtext.h"

#include <algorithm>
#include <vector>

namespace exchange {
namespace {

// Widths in digits of the workbook font, taken from the wider faces a reader may substitute
// (DejaVu Sans, where most small letters are as wide as a digit).
constexpr double kBlank = 0.5;
constexpr double kNarrow = 0.6; // . , : ; ( ) / | ! ' and the like
constexpr double kCapital = 1.15;
constexpr double kWide = 1.4; // m w ш щ ж ы ю, their capitals, and + = %
constexpr double kOther = 1.0;
// The room of a line against the column's width in digits: the programs add a few pixels of
// their own to a column (LibreOffice Calc makes a 14-digit column about 14,9 digits of DejaVu Sans
// wide), more than the cell's margins take.
constexpr double kCellPadding = -0.5;

double widthOf(char32_t c)
{
    if (c == U' ')
        return kBlank;
    if (std::u32string_view(U".,:;()[]/|!'\"-ilI1").find(c) != std::u32string_view::npos)
        return kNarrow;
    if (std::u32string_view(U"mwMW+=%шщжыюШЩЖЫЮМ").find(c) != std::u32string_view::npos)
        return kWide;
    if ((c >= U'A' && c <= U'Z') || (c >= U'\u0410' && c <= U'\u042F') || c == U'\u0401')
        return kCapital;
    return kOther;
}

// Code points of a UTF-8 text; a byte that starts no valid sequence counts as one character.
std::vector<char32_t> codePoints(std::string_view text)
{
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        int length = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 1;
        if (i + static_cast<std::size_t>(length) > text.size())
            length = 1;
        char32_t c = length == 1 ? b : (b & (0xFF >> (length + 1)));
        for (int k = 1; k < length; ++k)
            c = (c << 6) | (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3F);
        out.push_back(c);
        i += static_cast<std::size_t>(length);
    }
    return out;
}

} // namespace

int wrappedLineCount(std::string_view text, double columnCharacters)
{
    const double room = std::max(1.0, columnCharacters - kCellPadding);
    int lines = 1;
    double used = 0; // on the current line
    double word = 0; // the word being read, not yet placed
    auto placeWord = [&] {
        if (word == 0)
            return;
        if (used > 0 && used + word > room) {
            ++lines;
            used = 0;
        }
        // A word longer than a line fills whole lines first.
        while (word > room) {
            word -= room;
            ++lines;
        }
        used += word;
        word = 0;
    };
    for (const char32_t c : codePoints(text)) {
        if (c == U'\n') {
            placeWord();
            ++lines;
            used = 0;
        } else if (c == U' ') {
            placeWord();
            used += kBlank;
        } else {
            word += widthOf(c);
            // A line may break after a slash between letters ("«аллель/аллель»").
            if (c == U'/')
                placeWord();
        }
    }
    placeWord();
    return lines;
}

} // namespace exchange
