// SPDX-License-Identifier: GPL-3.0-or-later
#include "runidentity.h"

#include "freqdb/tablesfingerprint.h"
#include "version/projectversion.h"

namespace archive {

RunIdentity runIdentity(const freqdb::LocusTable& table, const std::filesystem::path& dataFolder,
                        freqdb::Population population, const std::string& prior)
{
    return {::version::kVersion, dataFolder.string(), population, freqdb::tablesFingerprint(table), prior,
            table.settings()};
}

std::vector<std::pair<std::string, std::string>> settingValues(const freqdb::LabSettings& settings)
{
    const auto orOff = [](bool on, const std::string& value) { return on ? value : std::string("off"); };
    return {{"mutation_model", orOff(settings.mutationOn(), "proportional:" + settings.mutationRateText)},
            {"min_allele_frequency", orOff(settings.minFrequency.has_value(), settings.minFrequencyText)},
            {"theta", orOff(settings.theta.has_value(), settings.thetaText)}};
}

std::string identityHeading(const RunIdentity& identity)
{
    std::string settings = freqdb::settingsSummary(identity.settings);
    // θ is named when off too: a summary beside one computed with it must say which it is.
    if (!identity.settings.theta)
        settings += "; поправка θ не применяется";
    return "Популяция: " + std::string(freqdb::populationName(identity.population)) + " ("
           + std::string(freqdb::populationCode(identity.population)) + "); папка данных: " + identity.dataFolder
           + "; отпечаток таблиц частот (SHA-256): " + identity.fingerprint + "; априорная вероятность "
           + identity.prior + "\n" + settings + "\n";
}

} // namespace archive
