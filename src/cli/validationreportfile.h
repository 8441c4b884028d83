// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What `validate` needs from the report library (Qt): the tables' fingerprint as the case report
// gives it, and the validation protocol as a PDF. A build without Qt has neither and says so.
#include <filesystem>
#include <string>

#include "freqdb/locustable.h"
#include "validation/validationprotocol.h"

namespace cli {

// The fingerprint of the loaded tables (report/tablesfingerprint.h).
std::string validationFingerprint(const freqdb::LocusTable& table);

// Writes the protocol to `path` (whole or not at all). Returns the operator message of a failure,
// or an empty text.
std::string writeValidationReportFile(const std::filesystem::path& path,
                                      const validation::ValidationProtocol& protocol);

} // namespace cli
