// SPDX-License-Identifier: GPL-3.0-or-later
#include "shorttext.h"

namespace text {
namespace {

// Length in bytes of the character starting at s[i]: 1 for ASCII and for any byte that does not
// start a well-formed UTF-8 sequence.
std::size_t characterLength(std::string_view s, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(s[i]);
    std::size_t len = 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        len = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        len = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        len = 4;
    if (len == 1 || i + len > s.size())
        return 1;
    for (std::size_t k = 1; k < len; ++k) {
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
            return 1;
    }
    return len;
}

} // namespace

std::size_t characterCount(std::string_view utf8)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < utf8.size(); i += characterLength(utf8, i))
        ++count;
    return count;
}

std::string cutToCharacters(std::string_view utf8, std::size_t maxChars)
{
    std::size_t i = 0;
    for (std::size_t n = 0; n < maxChars && i < utf8.size(); ++n)
        i += characterLength(utf8, i);
    return std::string(utf8.substr(0, i));
}

} // namespace text
