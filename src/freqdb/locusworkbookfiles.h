// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finding the locus workbooks of the data folder and naming their loci.
//
// A locus workbook is an entry of the data folder whose name ends in ".xls", ".xlsx" or ".ods"
// in any letter case. Every such entry is taken, folders included, so that a folder named like
// a workbook fails the load with its name instead of silently dropping a locus.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace freqdb {

// True for a file name whose extension is .xls, .xlsx or .ods in any letter case.
bool isLocusWorkbookName(std::string_view fileName);

// The file name without its extension (all of it when there is no '.').
std::string fileNameWithoutExtension(const std::filesystem::path& path);

// The locus name of a workbook: its file name without the extension, cut to 20 characters.
std::string locusNameOf(const std::filesystem::path& path);

// The locus workbooks of dataDir in the order of their full file names' Windows-1251 bytes
// (windows1251order.h). An absent data folder gives none; an unreadable one throws
// std::filesystem::filesystem_error.
std::vector<std::filesystem::path> findLocusWorkbooks(const std::filesystem::path& dataDir);

// True when dataDir holds a locus workbook: findLocusWorkbooks is not empty, found without
// listing and sorting them all. Throws as findLocusWorkbooks does.
bool hasLocusWorkbooks(const std::filesystem::path& dataDir);

} // namespace freqdb
