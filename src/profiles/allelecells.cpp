// SPDX-License-Identifier: GPL-3.0-or-later
#include "allelecells.h"

#include <algorithm>

#include "freqdb/locustable.h"
#include "results/genotyperow.h"

namespace profiles {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// "9,3", "2,2", "13,4": a whole number, a comma and one digit from 1 to 4 not above it. That is a
// microvariant with a decimal comma (a partial repeat is one to four bases, and the tables hold no
// microvariant whose part exceeds its whole); "6,9", "8,9" or "9,10" are two alleles, a comma
// between them, as "15,16" is.
bool isDecimalComma(std::string_view token)
{
    const std::size_t comma = token.find(',');
    if (comma == std::string_view::npos || comma == 0 || comma + 2 != token.size())
        return false;
    const std::string_view whole = token.substr(0, comma);
    if (!std::all_of(whole.begin(), whole.end(), isDigit) || whole.size() > 3)
        return false;
    const int part = token.back() - '0';
    return part >= 1 && part <= 4 && std::stoi(std::string(whole)) >= part;
}

} // namespace

std::string alleleLabel(std::string_view cell)
{
    std::string label(freqdb::withoutBlanks(cell));
    std::replace(label.begin(), label.end(), '.', ',');
    return label;
}

std::vector<std::string> splitAlleleCell(std::string_view cell)
{
    // "/", ";" and blanks always separate; a comma separates unless it is a decimal comma, so
    // "15, 16", "15,16", "6,9" and "9,3/10" all read as the two alleles they are.
    std::vector<std::string> labels;
    auto addToken = [&labels](std::string_view token) {
        if (isDecimalComma(token)) {
            labels.push_back(alleleLabel(token));
            return;
        }
        std::size_t start = 0;
        for (std::size_t i = 0; i <= token.size(); ++i) {
            if (i == token.size() || token[i] == ',') {
                if (std::string label = alleleLabel(token.substr(start, i - start)); !label.empty())
                    labels.push_back(std::move(label));
                start = i + 1;
            }
        }
    };
    std::size_t start = 0;
    for (std::size_t i = 0; i <= cell.size(); ++i) {
        if (i == cell.size() || cell[i] == '/' || cell[i] == ';' || isBlank(cell[i])) {
            addToken(cell.substr(start, i - start));
            start = i + 1;
        }
    }
    return labels;
}

std::vector<std::string> pairReading(std::string_view cell)
{
    cell = freqdb::withoutBlanks(cell);
    if (!isDecimalComma(cell))
        return {};
    const std::size_t comma = cell.find(',');
    return {std::string(cell.substr(0, comma)), std::string(cell.substr(comma + 1))};
}

bool isOffLadder(std::string_view label)
{
    return results::isOffLadderLabel(label);
}

bool isRepeatNumber(std::string_view label)
{
    label = freqdb::withoutBlanks(label);
    const std::size_t point = label.find_first_of(".,");
    const std::string_view whole = label.substr(0, point);
    const std::string_view part = point == std::string_view::npos ? std::string_view() : label.substr(point + 1);
    // A microvariant's part is one digit: "15,16" in one allele's cell is two alleles run together.
    return !whole.empty() && std::all_of(whole.begin(), whole.end(), isDigit)
           && (point == std::string_view::npos || (part.size() == 1 && isDigit(part.front())));
}

void addAllele(std::vector<std::string>& alleles, std::string label)
{
    if (std::find(alleles.begin(), alleles.end(), label) == alleles.end())
        alleles.push_back(std::move(label));
}

} // namespace profiles
