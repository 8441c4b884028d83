// SPDX-License-Identifier: GPL-3.0-or-later
#include "casefold.h"

#include "text/utf8.h"

namespace text {
namespace {

// Lower case of a two-byte code point, or the code point itself.
char32_t lower(char32_t c)
{
    if (c >= 0x0410 && c <= 0x042F) // А-Я
        return c + 0x20;
    if (c >= 0x0400 && c <= 0x040F) // Ѐ-Џ: Ё, Ђ, Є, І, Ї, Ј, Љ, Њ, Ћ, Ў ...
        return c + 0x50;
    if (c == 0x0490) // Ґ
        return 0x0491;
    return c;
}

} // namespace

std::string foldCase(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b >= 'A' && b <= 'Z') {
            out += static_cast<char>(b + ('a' - 'A'));
        } else if ((b == 0xD0 || b == 0xD1 || b == 0xD2) && i + 1 < utf8.size()
                   && (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
            const char32_t c
                = (static_cast<char32_t>(b & 0x1F) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F);
            appendUtf8(out, lower(c));
            ++i;
        } else {
            out += static_cast<char>(b);
        }
    }
    return out;
}

} // namespace text
