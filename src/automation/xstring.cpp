// SPDX-License-Identifier: GPL-3.0-or-later
#include "xstring.h"

#include "text/utf8.h"

namespace automation {
namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The code unit of "_xHHHH_" at text[i], or -1.
long codeUnitAt(std::string_view text, std::size_t i)
{
    if (i + 7 > text.size() || text[i] != '_' || text[i + 1] != 'x' || text[i + 6] != '_')
        return -1;
    long value = 0;
    for (std::size_t k = 2; k < 6; ++k) {
        const int h = hexValue(text[i + k]);
        if (h < 0)
            return -1;
        value = value * 16 + h;
    }
    return value;
}

} // namespace

std::string decodeXString(std::string_view text)
{
    if (text.find("_x") == std::string_view::npos)
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const long unit = codeUnitAt(text, i);
        if (unit < 0) {
            out += text[i++];
            continue;
        }
        i += 7;
        char32_t c = static_cast<char32_t>(unit);
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            const long low = codeUnitAt(text, i);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (static_cast<char32_t>(low) - 0xDC00);
                i += 7;
            } else {
                c = 0xFFFD;
            }
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            c = 0xFFFD;
        }
        text::appendUtf8(out, c);
    }
    return out;
}

std::string escapeXStringLiterals(std::string_view text)
{
    if (text.find("_x") == std::string_view::npos)
        return std::string(text);
    std::string out;
    out.reserve(text.size() + 7);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (codeUnitAt(text, i) >= 0)
            out += "_x005F";
        out += text[i];
    }
    return out;
}

} // namespace automation
