// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report of a case evaluated without the window (an archive run, `batch --report`): the
// evaluated case turned into the report's inputs and written as a PDF. Needs a Qt application
// (the window's, or an OffscreenGui).
#include <filesystem>
#include <string>

#include "archive/evaluatedcase.h"

namespace report {

// Writes the report to `path`, whole or not at all (reportpdf.h). Returns the operator message of
// a failure (naming the file), or an empty text: the archive run's report writer.
std::string writeEvaluatedCaseReport(const std::filesystem::path& path, const archive::EvaluatedCase& evaluated);

} // namespace report
