// SPDX-License-Identifier: GPL-3.0-or-later
#include "locusnames.h"

#include "text/casefold.h"

namespace popimport {

std::string plainWord(std::string_view text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    return text::foldCase(text.substr(b, e - b));
}

bool isOneOf(std::string_view text, std::initializer_list<std::string_view> words)
{
    const std::string word = plainWord(text);
    for (auto w : words) {
        if (word == w)
            return true;
    }
    return false;
}

bool isStatisticName(std::string_view text)
{
    return isOneOf(text, {"n",    "2n", "allele", "alleles", "аллель", "аллели",  "hom",    "het",     "hobs",
                          "hexp", "ho", "he",     "h",       "pd",     "pe",      "ppe",    "pi",      "pic",
                          "tpi",  "mp", "pm",     "hwe",     "p",      "p-value", "pvalue", "p value", "fis",
                          "fst",  "fs", "in",     "sum",     "total",  "сумма",   "итого",  "всего"});
}

} // namespace popimport
