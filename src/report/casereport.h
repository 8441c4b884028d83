// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The case report as plain texts: what the PDF shows, gathered from the results table, the
// result lines, the loaded frequency tables and where the rows came from. The window and the
// command line fill CaseInputs; describeCase() turns them into a CaseReport, and reportpdf.h
// draws that. Nothing here depends on how the report is drawn.
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "freqdb/locustable.h"
#include "freqdb/population.h"
#include "results/resultsgrid.h"
#include "text/numberformat.h"

namespace report {

// One line of the lab's settings: a label and its value, shown as the lab wrote them.
struct ReportSetting {
    std::string label;
    std::string value;
};

struct CaseCounts {
    int loci = 0; // rows of the table
    int marked = 0; // rows marked "++" that have an LR: the factors of the CPI
    int paternityExcluded = 0; // rows whose formula cell reads "Отцовство исключается"
    int maternityExcluded = 0; // rows whose formula cell reads "Материнство исключается"
    // Rows whose index the mutation model gave (engine::isMutationFormula): inconsistencies the
    // expert must see, though they are no exclusions. Shown when the model is on or any row has one.
    int mutationModel = 0;
    bool mutationShown = false;
};

// A table row as the report shows it: №, locus, the genotypes of father, child and mother,
// formula, the two frequency texts, LR, mark, and the row's power of exclusion (PE).
using ReportRow = std::array<std::string, 11>;

struct CaseReport {
    std::string madeAt; // "08.12.2026 01:23"
    std::string program; // "Paternity Index, версия 0.2.0", the version --version prints
    std::string population; // as the population dialog names it
    std::string dataFolder;
    std::string fingerprint; // tablesFingerprint() of the loaded tables
    int lociLoaded = 0;
    std::string source; // the workbook the rows came from; empty when none was loaded
    std::string sourceLoadedAt;
    bool sourceChanged = false; // rows were added, deleted, marked or recomputed after the load
    std::string sourceSamples; // a genotyping export's samples taken for the persons, or empty
    // The lines about the genotyping export the rows came from (LoadedResults::exportLines): the
    // markers not evaluated and why, and what the reader noticed in the file.
    std::vector<std::string> exportLines;
    ReportRow header;
    std::vector<ReportRow> rows;
    // The two result lines, empty when the combined index was not formed for these rows.
    std::string cpiLine;
    std::string probabilityLine;
    // The probability line for each of kReportPriors, from the same product; empty with the lines.
    std::vector<std::string> priorLines;
    // The power of exclusion of the marked rows (results::kCpePrefix and the CPE); empty with the
    // lines, or when no marked row has a PE.
    std::string cpeLine;
    CaseCounts counts;
    std::vector<ReportSetting> labSettings; // the table's settings, shown under their own heading
    std::string thetaNote; // under the table when θ is on (freqdb::kThetaNote), else empty
};

struct CaseInputs {
    const results::ResultsGrid* grid = nullptr;
    std::string cpiLine; // the result fields as they read
    std::string probabilityLine;
    freqdb::Population population = freqdb::Population::Unset;
    const freqdb::LocusTable* table = nullptr;
    std::filesystem::path dataFolder;
    std::filesystem::path source; // empty when the rows were not loaded from a workbook
    std::string sourceLoadedAt;
    bool sourceChanged = false; // the table was changed after the load
    std::string sourceSamples; // exchange::LoadedResults::sourceSamples of the load
    std::vector<std::string> exportLines; // exchange::LoadedResults::exportLines of the load
    const text::NumberFormat* format = nullptr;
};

// The report of the case, made at `madeAt`. The result lines are taken only when they belong to
// the rows: the combined index of the marked rows must give the same CPI line, and the
// probability line must be the one its own prior gives; otherwise both are left out (and the
// report says the index was not formed), so a report never shows an index beside rows it was not
// computed from.
CaseReport describeCase(const CaseInputs& inputs, std::string madeAt);

CaseCounts countRows(const results::ResultsGrid& grid);

// The local date and time as the report writes it: "08.12.2026 01:23".
std::string currentDateTimeText();

} // namespace report
