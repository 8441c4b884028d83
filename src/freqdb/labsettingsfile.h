// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings file of the data folder, data/settings.ini (UTF-8, with or without a byte-order
// mark, at most 64 KB): one "key = value" (or "key: value") a line, a line ended by LF, CRLF or
// CR; comment lines start with ";" or "#", and " ;" starts a comment at the end of a line; no
// sections. Comments may be of any length; a "key = value" without its comment is held to 198
// bytes, the line buffer of the ini parser.
//
//   mutation_model = off | proportional
//   mutation_rate = 0,002            (per transmission; a comma or a point)
//   min_allele_frequency = off | 0,0069
//   theta = off | 0,01               (θ of the Balding-Nichols correction)
//
// No file means every setting off. A file that cannot be read, an unknown key, a key given twice,
// a value that is not one of these, or θ on beside the mutation model is refused with the file,
// the line and the reason: a lab that wrote a setting must never calculate without it.
#include <filesystem>
#include <string>
#include <string_view>

#include "freqdb/labsettings.h"

namespace freqdb {

inline constexpr std::string_view kSettingsFileName = "settings.ini";
// The keys, as the reader takes them and the writer replaces them.
inline constexpr std::string_view kModelKey = "mutation_model";
inline constexpr std::string_view kRateKey = "mutation_rate";
inline constexpr std::string_view kMinFrequencyKey = "min_allele_frequency";
inline constexpr std::string_view kThetaKey = "theta";

struct SettingsRead {
    bool ok = false;
    LabSettings settings; // when ok
    std::string message; // when not: kReadFailed, then the file, the line and the reason
};

// Takes the first line off `rest` and returns it with its ending: a CR, an LF or a CRLF ends a
// line, as every editor shows it (a lone CR must not hide the line after it in a comment).
std::string_view nextSettingsLine(std::string_view& rest);

// Where the key of a "key = value" line ends: at its first "=" or ":" (the ini parser takes
// either), npos when it has none.
std::size_t settingsKeyEnd(std::string_view line);

// Reads `file`; a file that does not exist gives the settings off.
SettingsRead readLabSettings(const std::filesystem::path& file);

// The same for a text (the file's content); `file` only names it in messages.
SettingsRead parseLabSettings(std::string_view content, const std::filesystem::path& file);

} // namespace freqdb
