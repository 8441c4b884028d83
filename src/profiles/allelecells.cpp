// SPDX-License-Identifier: GPL-3.0-or-later
#include "allelecells.h"

#include <algorithm>

#include "freqdb/locustable.h"
#include "results/genotyperow.h"
#include "text/casefold.h"

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

bool isNoCall(std::string_view cell)
{
    const std::string word = text::foldCase(freqdb::withoutBlanks(cell));
    return word.empty() || word == "na" || word == "n/a" || word == "-";
}

std::string alleleLabel(std::string_view cell)
{
    if (isNoCall(cell))
        return {};
    std::string label(freqdb::withoutBlanks(cell));
    std::replace(label.begin(), label.end(), '.', ',');
    return label;
}

std::vector<std::vector<std::string>> alleleCellReadings(std::string_view cell)
{
    if (isNoCall(cell))
        return {};
    // The cell's parts: "/", ";" and blanks always separate; a comma right between two parts may
    // be a decimal comma ("9,3") or a separator ("15,16").
    struct Part {
        std::string_view text;
        bool afterComma = false;
    };
    std::vector<Part> parts;
    bool afterComma = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= cell.size(); ++i) {
        if (i < cell.size() && cell[i] != ',' && cell[i] != '/' && cell[i] != ';' && !isBlank(cell[i]))
            continue;
        if (i > start) {
            parts.push_back({cell.substr(start, i - start), afterComma});
            afterComma = i < cell.size() && cell[i] == ',';
        } else {
            afterComma = false; // ", " or ",,": that comma stands beside no part
        }
        start = i + 1;
    }
    // Every way of taking the possible decimal commas, the fullest first; a cell is a few parts,
    // but a cell of hundreds of "1,1" must not take forever, so the readings are capped.
    constexpr std::size_t kMostReadings = 16;
    std::vector<std::vector<std::string>> readings;
    std::vector<std::string> labels;
    auto walk = [&](auto&& self, std::size_t i) -> void {
        if (readings.size() >= kMostReadings)
            return;
        if (i == parts.size()) {
            std::vector<std::string> reading;
            for (const auto& label : labels)
                if (!label.empty())
                    addAllele(reading, label);
            if (std::find(readings.begin(), readings.end(), reading) == readings.end())
                readings.push_back(std::move(reading));
            return;
        }
        if (i + 1 < parts.size() && parts[i + 1].afterComma) {
            const std::string joined = std::string(parts[i].text) + "," + std::string(parts[i + 1].text);
            if (isDecimalComma(joined)) {
                labels.push_back(alleleLabel(joined));
                self(self, i + 2);
                labels.pop_back();
            }
        }
        labels.push_back(alleleLabel(parts[i].text));
        self(self, i + 1);
        labels.pop_back();
    };
    walk(walk, 0);
    if (readings.size() == 1 && readings.front().empty())
        return {};
    return readings;
}

std::vector<std::string> splitAlleleCell(std::string_view cell)
{
    auto readings = alleleCellReadings(cell);
    return readings.empty() ? std::vector<std::string>() : std::move(readings.front());
}

bool isOffLadder(std::string_view label)
{
    return results::isOffLadderLabel(label);
}

bool isRepeatNumber(std::string_view label)
{
    return results::isRepeatNumberLabel(label);
}

void addAllele(std::vector<std::string>& alleles, std::string label)
{
    if (std::find(alleles.begin(), alleles.end(), label) == alleles.end())
        alleles.push_back(std::move(label));
}

} // namespace profiles
