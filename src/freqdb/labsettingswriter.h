// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing the lab's settings file (labsettingsfile.h) from the window. The file is the lab's own
// text: every comment and every other line stays as the lab wrote it; only the value of each of
// the four keys is replaced where the key stands (a comment after the value stays too), and a
// key the file lacks is added at its end. The new text is checked by the same reader that every
// load uses before anything is written, and then replaces the file atomically (a temporary file
// beside it, synced, renamed over it; the file's permissions are kept).
#include <filesystem>
#include <string>
#include <string_view>

#include "freqdb/labsettingsfile.h"

namespace freqdb {

struct SettingsChoice {
    MutationModel mutationModel = MutationModel::Off;
    std::string mutationRate = "0,002"; // as the lab writes it
    std::string minFrequency = "off"; // "off" or a proportion as the lab writes it
    std::string theta = "off"; // "off" or θ as the lab writes it; refused beside the mutation model
};

// The file's text with the choice written into it.
std::string rewriteSettingsText(std::string_view content, const SettingsChoice& choice);

// Rewrites `file` (creating it when missing). Returns the settings the written file gives; when
// the choice is refused, `ok` is false, the message names the line and reason, and the file is
// untouched. Throws std::runtime_error (in Russian, naming the file) when it cannot be written or,
// read back as a load reads it, does not give the choice.
SettingsRead writeLabSettings(const std::filesystem::path& file, const SettingsChoice& choice);

} // namespace freqdb
