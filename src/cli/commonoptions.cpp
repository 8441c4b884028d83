// SPDX-License-Identifier: GPL-3.0-or-later
#include "commonoptions.h"

#include <CLI/CLI.hpp>

namespace cli {

std::string checkPopulation(const CLI::App& app, const std::string& code, freqdb::Population& population)
{
    if (app.count("--population") == 0)
        return "Не указана популяция (--population rus|white|black)";
    const auto chosen = freqdb::populationFromCode(code);
    if (!chosen)
        return "Популяция должна быть rus, white или black, а не «" + code + "»";
    population = *chosen;
    return {};
}

std::string checkDataFolder(const CLI::App& app, const std::string& folder,
                            std::optional<std::filesystem::path>& dataDir)
{
    if (app.count("--data") == 0)
        return {};
    if (folder.empty())
        return "Пустое имя папки в --data";
    dataDir = folder;
    return {};
}

} // namespace cli
