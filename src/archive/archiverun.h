// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The archive run: many cases evaluated in one go against one loaded table. Each case is evaluated
// as one case is (the genotype workbook read, every row with an LR marked and combined), its
// results workbook and report written where asked, and a summary line made for it. The command
// line (`batch` with a folder or --output-dir) and the window's "Расчёт архива дел…" both run it;
// they differ only in how a report is drawn and how progress is shown.
//
// Stopping: the progress callback is asked before every case and may stop the run there, between
// two cases. Every file written so far is whole (results workbooks and reports are written to a
// temporary file renamed over the target), and the cases not begun are listed with kNotProcessed.
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "archive/casesummary.h"
#include "archive/evaluatedcase.h"
#include "automation/workbook.h"
#include "freqdb/locustable.h"
#include "freqdb/population.h"
#include "text/numberformat.h"

namespace archive {

struct ArchiveRequest {
    std::vector<std::filesystem::path> cases; // workbooks and folders of workbooks (caselisting.h)
    std::optional<std::filesystem::path> outputDir; // results workbooks: <case name>.results.xlsx
    std::optional<std::filesystem::path> reportDir; // reports: <case name>.report.pdf
    freqdb::Population population = freqdb::Population::Unset; // the table's, written in each workbook
    std::string prior = "0,5"; // the prior of the probability, with the format's separator
};

// The tables the cases are evaluated with, and where they were read from (named in reports).
struct ArchiveTables {
    const freqdb::LocusTable* table = nullptr;
    std::filesystem::path dataDir;
    const automation::WorkbookReader* reader = nullptr;
    const text::NumberFormat* format = nullptr;
};

// Writes the report of one case to `path`, whole or not at all; returns the operator message of a
// failure (naming the file), or an empty text.
using CaseReportWriter = std::function<std::string(const std::filesystem::path& path, const EvaluatedCase&)>;
// Called before each case with the number of cases done, their total and the case about to begin;
// false stops the run before that case.
using CaseProgress = std::function<bool(std::size_t done, std::size_t total, const std::filesystem::path& next)>;

struct ArchiveResult {
    std::vector<CaseSummary> cases; // in the order they were evaluated
    bool allEvaluated = true; // every case evaluated and everything asked for written
    bool anyIncomplete = false; // a case evaluated with reservations
    bool stopped = false; // the progress callback stopped the run
    // The folder for results or reports could not be made: no case was begun. The message names it.
    std::string folderFailure;

    int count(CaseOutcome outcome) const;
};

// The identity of a file for "is this one of the inputs": its canonical path where it exists.
std::filesystem::path fileIdentity(const std::filesystem::path& file);

// Runs the cases of `request`. Notes of the reader and messages of the combined index go to
// `notes`, one line each, prefixed with the case's file. `writeReport` is needed only with a
// reportDir; `progress` may be empty.
ArchiveResult runArchive(const ArchiveRequest& request, const ArchiveTables& tables,
                         const CaseReportWriter& writeReport, const CaseProgress& progress, std::ostream& notes);

} // namespace archive
