// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The SHA-256 of a file's bytes, written as sha256sum writes it (64 lower-case hex digits), so
// the lists of shipped files can be checked by hand with `sha256sum -c`.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace freqdb {

// nullopt when the file cannot be read.
std::optional<std::string> fileSha256(const std::filesystem::path& path);

// The SHA-256 of a text's bytes, in the same form.
std::string textSha256(std::string_view text);

} // namespace freqdb
