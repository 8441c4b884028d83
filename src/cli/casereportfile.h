// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The case report of an evaluated case, written as a PDF beside (or instead of) the results
// workbook: `batch --report FILE.pdf`, and any command that writes reports for many cases.
#include <filesystem>
#include <memory>
#include <string>

#include "archive/evaluatedcase.h"

namespace cli {

using archive::EvaluatedCase;

// Keeps what drawing reports needs (Qt's offscreen application) alive while it lives, so a run
// that writes many reports starts it once; writeCaseReportFile() works without one too.
class ReportDrawing {
public:
    ReportDrawing();
    ~ReportDrawing();
    ReportDrawing(const ReportDrawing&) = delete;
    ReportDrawing& operator=(const ReportDrawing&) = delete;

private:
    struct Resources;
    std::unique_ptr<Resources> m_resources;
};

// Writes the report to `path` through a temporary file renamed over it, so a failure leaves no
// partial file. Draws on Qt's offscreen platform: no display is needed. Returns the operator
// message of a failure (naming the file), or an empty text.
std::string writeCaseReportFile(const std::filesystem::path& path, const EvaluatedCase& evaluated);

} // namespace cli
