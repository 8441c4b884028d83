// SPDX-License-Identifier: GPL-3.0-or-later
#include "commonoptions.h"

#include <CLI/CLI.hpp>

#include "cli/batchoptions.h"
#include "freqdb/labsettings.h"

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

std::string checkOutputFormat(const CLI::App& app, const std::string& typed, OutputFormat& format)
{
    if (app.count("--format") == 0)
        return {};
    if (typed == "text")
        format = OutputFormat::Text;
    else if (typed == "csv")
        format = OutputFormat::Csv;
    else if (typed == "json")
        format = OutputFormat::Json;
    else
        return "Формат должен быть text, csv или json, а не «" + typed + "»";
    return {};
}

std::string checkPrior(const CLI::App& app, const std::string& typed, std::string& prior)
{
    if (app.count("--prior") == 0)
        return {};
    const auto text = priorText(typed, ",");
    if (!text)
        return "Априорная вероятность должна быть числом от 0 до 1, а не «" + typed
               + "» (дробная часть через запятую или точку)";
    prior = *text;
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

std::string checkSettingOptions(const CLI::App& app, const std::string& mutation, const std::string& minFrequency,
                                std::optional<std::string>& mutationSetting,
                                std::optional<std::string>& minFrequencySetting)
{
    if (app.count("--mutation") > 0) {
        freqdb::LabSettings probe;
        if (const auto reason = freqdb::applyMutationSetting(probe, mutation))
            return "--mutation: " + *reason;
        mutationSetting = mutation;
    }
    if (app.count("--min-frequency") > 0) {
        freqdb::LabSettings probe;
        if (const auto reason = freqdb::applyMinFrequencySetting(probe, minFrequency))
            return "--min-frequency: " + *reason;
        minFrequencySetting = minFrequency;
    }
    return {};
}

std::string checkThetaOption(const CLI::App& app, const std::string& theta,
                             const std::optional<std::string>& mutationSetting,
                             std::optional<std::string>& thetaSetting)
{
    if (app.count("--theta") == 0)
        return {};
    freqdb::LabSettings probe;
    if (const auto reason = freqdb::applyThetaSetting(probe, theta))
        return "--theta: " + *reason;
    thetaSetting = theta;
    if (mutationSetting)
        freqdb::applyMutationSetting(probe, *mutationSetting);
    if (const auto conflict = freqdb::settingsConflict(probe))
        return "--theta и --mutation: " + *conflict;
    return {};
}

std::string resultsWorkbookNameError(const std::string& name)
{
    if (hasExtension(name, ".xlsx"))
        return {};
    return "Книга результатов записывается в формате .xlsx: имя в --output должно оканчиваться на .xlsx, а не «" + name
           + "»";
}

std::string reportNameError(const std::string& name)
{
    if (hasExtension(name, ".pdf"))
        return {};
    return "Отчёт записывается в формате PDF: имя в --report должно оканчиваться на .pdf, а не «" + name + "»";
}

bool hasExtension(const std::string& name, std::string_view wanted)
{
    std::string ext = std::filesystem::path(name).extension().string();
    for (char& c : ext)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return ext == wanted;
}

} // namespace cli
