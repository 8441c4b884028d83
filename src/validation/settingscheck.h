// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings as the program understood them: each of the four settings as the number (or the
// word) the program parsed, beside the line of settings.ini (or the command-line option) it came
// from, and the same line read again by a second, plain reader written here (digits, one comma or
// point, digits; "off"; "proportional[:RATE]"). A difference fails the validation, and the plain
// reading is what the independent computation of every case uses, so a setting misread shows in
// the cases too.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "freqdb/labsettings.h"

namespace validation {

// The options of one run that stand over the file's lines (--mutation, --min-frequency, --theta).
struct SettingOptions {
    std::optional<std::string> mutation, minFrequency, theta;
};

struct SettingLine {
    std::string key; // "theta"
    std::string line; // "theta = 0,02 (settings.ini, строка 44)", "--theta 0,03 (командная строка)"
    std::string program; // the value the program uses: "0,02", "выкл.", "пропорциональная"
    std::string plain; // the plain reading
    bool agrees = true;
};

struct SettingsCheck {
    std::filesystem::path file; // the settings file read; empty with none
    std::vector<SettingLine> lines;
    freqdb::LabSettings plain; // the plain reading's numbers (the texts are the program's)
    std::string problem; // the file could not be read a second time

    bool agrees() const;
};

// `settings` are the program's, `file` the settings file in force (empty or missing: none).
SettingsCheck checkSettings(const freqdb::LabSettings& settings, const std::filesystem::path& file,
                            const SettingOptions& options);

// A proportion written with digits and one comma or point, read digit by digit; nullopt otherwise.
std::optional<long double> plainDecimal(std::string text);

} // namespace validation
