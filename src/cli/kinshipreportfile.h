// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report of a deficiency case, `kinship --report FILE.pdf`, drawn by the report module
// (cli/reportmodule.h) through an entry of its own, pi_kinship_report_entry.
#include <filesystem>
#include <string>

#include "kinship/kinshipreportcase.h"

namespace cli {

inline constexpr const char* kKinshipReportEntryName = "pi_kinship_report_entry";

// The module's entry: writes the report, returns the operator message of a failure or empty.
using KinshipReportWriter = std::string (*)(const std::filesystem::path& path, const kinship::KinshipReportCase&);

// Writes the report to `path` (through a temporary file renamed over it). Returns the operator
// message of a failure, naming the file, or an empty text.
std::string writeKinshipReportFile(const std::filesystem::path& path, const kinship::KinshipReportCase& evaluated);

} // namespace cli
