// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The summary of a run over many cases: one line per case, as a readable table, CSV or JSON, in
// the order the cases were evaluated.
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "archive/runidentity.h"

namespace archive {

inline constexpr std::string_view kCaseOk = "ok";
// A case read whole whose rows give no LR at all (unknown loci, alleles not in the tables): it has
// no combined index, so it does not count as evaluated.
inline constexpr std::string_view kNoIndexReason = "ни в одной строке нет LR: CPI не рассчитан";
// The names of a case's results workbook and report: <case name> + these.
inline constexpr std::string_view kResultsSuffix = ".results.xlsx";
inline constexpr std::string_view kReportSuffix = ".report.pdf";
// The status of a case a stopped run never began.
inline constexpr std::string_view kNotProcessed = "не обработано: запуск прерван";

// How a case ended, as the summary of a run counts it.
enum class CaseOutcome {
    Evaluated, // kCaseOk: evaluated, everything asked for written
    Incomplete, // evaluated with reservations (casereservations.h), everything written
    Failed, // not read, no index, or a file asked for not written
    NotProcessed, // the run was stopped before it
};

struct CaseSummary {
    std::filesystem::path file;
    bool read = false; // the workbook was read and evaluated
    int loci = 0; // rows of the table
    int marked = 0; // rows marked for the combined index
    int excluded = 0; // rows with "Отцовство исключается"
    int notEvaluated = 0; // rows without an index (casereservations.h)
    int leftOut = 0; // rows beyond the 99 of the table, not read
    int mutation = 0; // rows whose index the mutation model gave
    // The two result lines; an undefined probability reads engine::kUndefinedProbability.
    std::string cpi, probability;
    // kCaseOk; kIncompletePrefix and the reservations of a case evaluated with them; or the reason
    // (one line) the case was not read or written.
    std::string status;
    std::string cpe; // the power of exclusion of the marked rows, four decimals; empty when none
    CaseOutcome outcome = CaseOutcome::Failed;
};

// With the mutation model on, the count of the model's rows is a column too, after the others
// ("mutation" in CSV and JSON). Every summary states what it was computed with (runidentity.h):
// the text in a heading, the CSV in columns after the others on every line (so lines sorted or
// copied apart keep it), the JSON in an "identity" object before the cases.
void writeSummaryText(const RunIdentity& identity, const std::vector<CaseSummary>& cases, std::ostream& out);
void writeSummaryCsv(const RunIdentity& identity, const std::vector<CaseSummary>& cases, std::ostream& out);
void writeSummaryJson(const RunIdentity& identity, const std::vector<CaseSummary>& cases, std::ostream& out);

} // namespace archive
