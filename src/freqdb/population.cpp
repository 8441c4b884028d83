// SPDX-License-Identifier: GPL-3.0-or-later
#include "population.h"

namespace freqdb {

std::string_view sheetSuffix(Population population)
{
    switch (population) {
    case Population::Russians:
        return "-rus";
    case Population::UsCaucasians:
        return "-white";
    case Population::UsBlacks:
        return "-black";
    case Population::Unset:
        break;
    }
    return {};
}

std::string_view populationName(Population population)
{
    switch (population) {
    case Population::Russians:
        return "Русские";
    case Population::UsCaucasians:
        return "Европеоиды США";
    case Population::UsBlacks:
        return "Негры США";
    case Population::Unset:
        break;
    }
    return {};
}

std::string_view genitiveName(Population population)
{
    switch (population) {
    case Population::Russians:
        return "русских";
    case Population::UsCaucasians:
        return "европеоидов США";
    case Population::UsBlacks:
        return "негров США";
    case Population::Unset:
        break;
    }
    return {};
}

std::string_view populationCode(Population population)
{
    switch (population) {
    case Population::Russians:
        return "rus";
    case Population::UsCaucasians:
        return "white";
    case Population::UsBlacks:
        return "black";
    case Population::Unset:
        break;
    }
    return {};
}

std::optional<Population> populationFromCode(std::string_view code)
{
    for (auto p : {Population::Russians, Population::UsCaucasians, Population::UsBlacks}) {
        if (populationCode(p) == code)
            return p;
    }
    return std::nullopt;
}

} // namespace freqdb
