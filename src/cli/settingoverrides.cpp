// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingoverrides.h"

#include "cli/batchoptions.h"
#include "freqdb/labsettings.h"

namespace cli {

std::optional<std::string> applySettingOverrides(freqdb::LocusTable& table, const std::optional<std::string>& mutation,
                                                 const std::optional<std::string>& minFrequency,
                                                 const std::optional<std::string>& theta, const std::string& separator)
{
    // The options were checked as proportions, so the prior's conversion applies to them.
    const auto printed = [&separator](std::string& typed) { typed = priorText(typed, separator).value_or(typed); };
    if (!mutation && !minFrequency && !theta)
        return std::nullopt;
    freqdb::LabSettings settings = table.settings();
    // "proportional" alone keeps the file's rate, and its text as written.
    if (mutation && !freqdb::applyMutationSetting(settings, *mutation) && mutation->find(':') != std::string::npos)
        printed(settings.mutationRateText);
    if (minFrequency) {
        freqdb::applyMinFrequencySetting(settings, *minFrequency);
        printed(settings.minFrequencyText);
    }
    if (theta) {
        freqdb::applyThetaSetting(settings, *theta);
        printed(settings.thetaText);
    }
    std::optional<std::string> conflict = freqdb::settingsConflict(settings);
    if (conflict)
        *conflict = "Файл настроек и командная строка: " + *conflict;
    settings.source = settings.source.empty() ? "командная строка" : settings.source + " и командная строка";
    table.setSettings(std::move(settings));
    return conflict;
}

} // namespace cli
