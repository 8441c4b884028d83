// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The validation protocol as a PDF, drawn by the report module (cli/reportmodule.h). A build
// without Qt has none and says so.
#include <filesystem>
#include <string>

#include "validation/validationprotocol.h"

namespace cli {

// Writes the protocol to `path` (whole or not at all). Returns the operator message of a failure,
// or an empty text.
std::string writeValidationReportFile(const std::filesystem::path& path,
                                      const validation::ValidationProtocol& protocol);

} // namespace cli
