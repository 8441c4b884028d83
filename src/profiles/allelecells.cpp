// SPDX-License-Identifier: GPL-3.0-or-later
#include "allelecells.h"

#include <algorithm>

#include "results/genotyperow.h"

namespace profiles {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// "9,3" and "12,1": a whole number, a comma and one digit. In a cell of both alleles that is the
// microvariant, since no allele of an autosomal STR marker is a one-digit repeat below 2.
bool isDecimalComma(std::string_view cell)
{
    const std::size_t comma = cell.find(',');
    if (comma == std::string_view::npos || comma == 0 || comma + 2 != cell.size() || !isDigit(cell.back()))
        return false;
    return std::all_of(cell.begin(), cell.begin() + static_cast<std::ptrdiff_t>(comma), isDigit);
}

} // namespace

std::string alleleLabel(std::string_view cell)
{
    std::string label(trimmed(cell));
    std::replace(label.begin(), label.end(), '.', ',');
    return label;
}

std::vector<std::string> splitAlleleCell(std::string_view cell)
{
    cell = trimmed(cell);
    std::vector<std::string> labels;
    if (cell.empty())
        return labels;
    const bool commaSeparates = cell.find_first_of("/; \t") == std::string_view::npos && !isDecimalComma(cell);
    std::size_t start = 0;
    for (std::size_t i = 0; i <= cell.size(); ++i) {
        const bool end = i == cell.size();
        if (end || cell[i] == '/' || cell[i] == ';' || isBlank(cell[i]) || (commaSeparates && cell[i] == ',')) {
            const std::string label = alleleLabel(cell.substr(start, i - start));
            if (!label.empty())
                labels.push_back(label);
            start = i + 1;
        }
    }
    return labels;
}

bool isOffLadder(std::string_view label)
{
    return results::isOffLadderLabel(label);
}

void addAllele(std::vector<std::string>& alleles, std::string label)
{
    if (std::find(alleles.begin(), alleles.end(), label) == alleles.end())
        alleles.push_back(std::move(label));
}

} // namespace profiles
