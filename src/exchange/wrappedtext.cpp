// SPDX-License-Identifier: GPL-3.0-or-later
#include "wrappedtext.h"

#include <algorithm>
#include <vector>

namespace exchange {
namespace {

// Widths in digits of the workbook font, generous for the wider faces a reader may substitute.
constexpr double kBlank = 0.55;
constexpr double kNarrow = 0.6; // . , : ; ( ) / | ! ' and the like
constexpr double kCapital = 1.3;
constexpr double kOther = 1.1;
// Room taken by the cell's own margins.
constexpr double kCellPadding = 0.6;

double widthOf(char32_t c)
{
    if (c == U' ')
        return kBlank;
    if (std::u32string_view(U".,:;()[]/|!'\"-ilI1").find(c) != std::u32string_view::npos)
        return kNarrow;
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
        }
    }
    placeWord();
    return lines;
}

} // namespace exchange
