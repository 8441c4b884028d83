// SPDX-License-Identifier: GPL-3.0-or-later
#include "wrappedtext.h"

#include <algorithm>
#include <array>
#include <vector>

namespace exchange {
namespace {

// Advance widths of DejaVu Sans Book (fonts-dejavu-core), the face LibreOffice Calc on a Debian
// desk puts in place of the workbook's Calibri, in digits of that face (advance / 1303 of 2048
// units): U+0020..U+007E, then U+0410..U+044F. Its digits are all one wide, "1" included.
constexpr std::array<double, 95> kAsciiWidths = {
    0.500, 0.630, 0.723, 1.317, 1.000, 1.493, 1.226, 0.432, 0.613, 0.613, 0.786, 1.317, 0.500, 0.567, 0.500, 0.530,
    1.000, 1.000, 1.000, 1.000, 1.000, 1.000, 1.000, 1.000, 1.000, 1.000, 0.530, 0.530, 1.317, 1.317, 1.317, 0.834,
    1.572, 1.075, 1.078, 1.097, 1.210, 0.993, 0.904, 1.218, 1.182, 0.464, 0.464, 1.031, 0.876, 1.356, 1.176, 1.237,
    0.948, 1.237, 1.092, 0.998, 0.960, 1.150, 1.075, 1.554, 1.077, 0.960, 1.077, 0.613, 0.530, 0.613, 1.317, 0.786,
    0.786, 0.963, 0.998, 0.864, 0.998, 0.967, 0.553, 0.998, 0.996, 0.437, 0.437, 0.910, 0.437, 1.531, 0.996, 0.962,
    0.998, 0.998, 0.646, 0.819, 0.616, 0.996, 0.930, 1.285, 0.930, 0.930, 0.825, 1.000, 0.530, 1.000, 1.317,
};
constexpr std::array<double, 64> kCyrillicWidths = {
    1.075, 1.078, 1.078, 0.959, 1.228, 0.993, 1.693, 1.008, 1.176, 1.176, 1.116, 1.182, 1.356, 1.182, 1.237, 1.182,
    0.948, 1.097, 0.960, 0.958, 1.353, 1.077, 1.220, 1.078, 1.681, 1.719, 1.309, 1.387, 1.078, 1.097, 1.697, 1.092,
    0.963, 0.969, 0.926, 0.826, 1.087, 0.967, 1.416, 0.836, 1.021, 1.021, 0.949, 1.005, 1.186, 1.028, 0.962, 1.028,
    0.998, 0.864, 0.916, 0.930, 1.344, 0.930, 1.070, 0.929, 1.438, 1.480, 1.111, 1.241, 0.926, 0.863, 1.323, 0.946,
};
// A character of neither range: wider than most, so that a row is never too low for it.
constexpr double kOtherWidth = 1.25;
// The room of a line against the column's width in digits. LibreOffice Calc prints a 14-digit
// column with "Генотип ребенка" (14,22 digits) on one line and breaks "(2p(30)+2p(31,2))" (14,49);
// a wider column gives more room than this, so a longer text is counted high, never low.
constexpr double kCellPadding = -0.3;

double widthOf(char32_t c)
{
    if (c >= 0x20 && c <= 0x7E)
        return kAsciiWidths[c - 0x20];
    if (c >= 0x410 && c <= 0x44F)
        return kCyrillicWidths[c - 0x410];
    switch (c) {
    case U'\u0401': // Ё
        return 0.993;
    case U'\u0451': // ё
        return 0.967;
    case U'\u03BC': // μ
        return 1.0;
    case U'\u00AB': // «
    case U'\u00BB': // »
        return 0.962;
    case U'\u2116': // №
        return 1.635;
    default:
        return kOtherWidth;
    }
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
    // LibreOffice breaks after a slash ("1/" above "(2p(15)+2p(16))") only in a text without
    // blanks; in one with blanks ("θ=0,01 1/(2p(15)+2p(16))") a word too long for its line is
    // broken at the line's end instead.
    const bool slashBreaks = text.find(' ') == std::string_view::npos;
    for (const char32_t c : codePoints(text)) {
        if (c == U'\n') {
            placeWord();
            ++lines;
            used = 0;
        } else if (c == U' ') {
            placeWord();
            used += widthOf(U' ');
        } else {
            word += widthOf(c);
            // A line may break after a slash between letters ("«аллель/аллель»").
            if (c == U'/' && slashBreaks)
                placeWord();
        }
    }
    placeWord();
    return lines;
}

} // namespace exchange
