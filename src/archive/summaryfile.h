// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The summary of a run kept as a file beside its results (the window's archive run writes it).
#include <filesystem>
#include <string_view>
#include <vector>

#include "archive/casesummary.h"

namespace archive {

// The summary's file name in the results folder.
inline constexpr std::string_view kSummaryFileName = "summary.csv";

// Writes writeSummaryCsv()'s text to `path` through a temporary file beside it, flushed to disk and
// renamed over it, so a failure or a crash leaves the previous file or none, never a part.
// Throws std::runtime_error with the operator message naming the file.
void writeSummaryCsvFile(const std::filesystem::path& path, const RunIdentity& identity,
                         const std::vector<CaseSummary>& cases);

} // namespace archive
