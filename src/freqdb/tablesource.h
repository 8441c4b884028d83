// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a population's frequency table came from, kept in the data folder beside the workbooks so
// that the tables can be read a second way: source/<code>.ini (code rus, white, black) names the
// file in source/ the table was written from, where that file came from, when, and its SHA-256.
//
//   file = us_caucasians.csv          the copy, in source/
//   original = NIST 1036 ...          the file imported, or the publication
//   origin = Germany                  the XML export's origin taken (empty: none)
//   date = 2026-12-08                 when the copy was made
//   sha256 = 3f2a...                  of the copy, as sha256sum writes it
//
// The bundled tables have theirs (data/source/white.ini, black.ini); `import` writes one beside
// the copy of the file it read.
#include <filesystem>
#include <optional>
#include <string>

#include "freqdb/datafolder.h"
#include "freqdb/population.h"

namespace freqdb {

inline constexpr const char* kSourceFolder = "source";

struct TableSource {
    std::filesystem::path file; // the copy, full path
    std::string original;
    std::string origin;
    std::string date;
    std::string sha256;
};

// The note of `population` in `folder`/source/; nullopt when there is none. Throws
// std::runtime_error naming the note when it cannot be read or lacks `file`.
std::optional<TableSource> readTableSource(const std::filesystem::path& folder, Population population);

// The source of the tables a validation loads from `data`: the lab's folder's note first, then
// the installed copy's.
std::optional<TableSource> findTableSource(const DataFolder& data, Population population);

// The note's text for `source` (its file written relative to source/).
std::string tableSourceText(const TableSource& source);

// source/<code>.ini in `folder`.
std::filesystem::path tableSourceNote(const std::filesystem::path& folder, Population population);

} // namespace freqdb
