// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingoverrides.h"

#include "freqdb/labsettings.h"

namespace cli {

std::optional<std::string> applySettingOverrides(freqdb::LocusTable& table, const std::optional<std::string>& mutation,
                                                 const std::optional<std::string>& minFrequency,
                                                 const std::optional<std::string>& theta)
{
    if (!mutation && !minFrequency && !theta)
        return std::nullopt;
    freqdb::LabSettings settings = table.settings();
    if (mutation)
        freqdb::applyMutationSetting(settings, *mutation);
    if (minFrequency)
        freqdb::applyMinFrequencySetting(settings, *minFrequency);
    if (theta)
        freqdb::applyThetaSetting(settings, *theta);
    std::optional<std::string> conflict = freqdb::settingsConflict(settings);
    if (conflict)
        *conflict = "Файл настроек и командная строка: " + *conflict;
    settings.source = settings.source.empty() ? "командная строка" : settings.source + " и командная строка";
    table.setSettings(std::move(settings));
    return conflict;
}

} // namespace cli
