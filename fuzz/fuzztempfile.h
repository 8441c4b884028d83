// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The readers take a path, so each fuzz input is written to a file in a private temporary
// folder of the fuzzing process (removed at exit).
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace fuzz {

// The folder, created on first use: $TMPDIR/pi-fuzz-<pid>.
const std::filesystem::path& tempFolder();

// Writes data to tempFolder()/fileName and returns the path.
std::filesystem::path writeInput(const std::string& fileName, const std::uint8_t* data, std::size_t size);

// ".xls" for a compound document, ".ods" for a zip whose mimetype names OpenDocument, ".xlsx"
// for any other zip, `fallback` for anything else.
std::string extensionByContent(const std::uint8_t* data, std::size_t size, const std::string& fallback);

} // namespace fuzz
