// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a summary of many cases was computed with: the program, the tables (their folder,
// population and fingerprint), the prior and the lab's settings in force. A summary states it, so
// that figures computed with other tables or settings (θ, a minimum frequency, the mutation
// model) are never taken for these.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "freqdb/labsettings.h"
#include "freqdb/locustable.h"
#include "freqdb/population.h"

namespace archive {

struct RunIdentity {
    std::string version; // the program's, as --version prints it
    std::string dataFolder; // as the case reports name it
    freqdb::Population population = freqdb::Population::Unset;
    std::string fingerprint; // freqdb/tablesfingerprint.h
    std::string prior; // the prior's text, with the locale's separator
    freqdb::LabSettings settings;
};

RunIdentity runIdentity(const freqdb::LocusTable& table, const std::filesystem::path& dataFolder,
                        freqdb::Population population, const std::string& prior);

// The settings as the options that give them: "off" or "proportional:0,002", "off" or "0,0069",
// "off" or "0,01" (the summary's CSV columns and JSON members mutation_model,
// min_allele_frequency, theta).
std::vector<std::pair<std::string, std::string>> settingValues(const freqdb::LabSettings& settings);

// The heading of the readable summary, two lines: the tables and the prior; the settings.
std::string identityHeading(const RunIdentity& identity);

} // namespace archive
