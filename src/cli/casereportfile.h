// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The case report of an evaluated case, written as a PDF beside (or instead of) the results
// workbook: `batch --report FILE.pdf`, and any command that writes reports for many cases.
#include <filesystem>
#include <memory>
#include <string>

#include "freqdb/locustable.h"
#include "results/resultsgrid.h"
#include "text/numberformat.h"

namespace cli {

struct EvaluatedCase {
    const freqdb::LocusTable* table = nullptr; // the loaded frequency tables
    std::filesystem::path dataDir;
    std::filesystem::path source; // the genotype workbook
    const results::ResultsGrid* grid = nullptr; // evaluated and marked
    std::string cpiLine;
    std::string probabilityLine;
    const text::NumberFormat* format = nullptr;
    std::string sourceSamples; // the samples of a genotyping export taken for the persons
};

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
