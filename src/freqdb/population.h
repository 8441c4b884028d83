// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The reference population whose allele frequencies every locus index uses.
#include <cstdint>
#include <optional>
#include <string_view>

namespace freqdb {

enum class Population : std::uint8_t {
    Unset = 0, // before the first choice; nothing is loaded
    Russians = 1, // "Русские", worksheets "<locus>-rus"
    UsCaucasians = 2, // "Европеоиды США", worksheets "<locus>-white"
    UsBlacks = 3, // "Негры США", worksheets "<locus>-black"
};

// Worksheet suffix of the population ("-rus", "-white", "-black"; empty for Unset).
std::string_view sheetSuffix(Population population);

// The population as the population dialog names it ("Русские", "Европеоиды США", "Негры США";
// empty for Unset).
std::string_view populationName(Population population);

// The population's name in the genitive for the results workbook ("русских", "европеоидов США",
// "негров США"; empty for Unset).
std::string_view genitiveName(Population population);

// Short code used on the command line and in JSON output: "rus", "white", "black".
std::string_view populationCode(Population population);
std::optional<Population> populationFromCode(std::string_view code);

} // namespace freqdb
