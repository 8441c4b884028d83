// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the batch prints: the evaluated table and the two result lines, as a readable table, CSV
// or JSON. Every value is the text the window shows (an empty cell is an empty text).
#include <ostream>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "archive/caseindex.h"
#include "archive/summaryformat.h"
#include "freqdb/labsettings.h"
#include "freqdb/locustable.h"
#include "results/resultsgrid.h"
#include "text/numberformat.h"

namespace cli {

struct BatchReport {
    std::string population; // "rus", "white", "black"
    const results::ResultsGrid* grid = nullptr;
    std::string cpi; // the CPI line
    std::string probability; // the probability line
    // The lab's settings in force. When any is on, the text output ends with them, the CSV gains
    // a "mutation" column (1 where the mutation model gave the index) and the JSON a "settings"
    // object and a "mutation" flag per row; with all off every output is as it always was. With
    // the mutation model on, the text output and the JSON ("mutation_loci") also count the rows
    // whose index the model gave (mutationLoci).
    const freqdb::LabSettings* settings = nullptr;
    // The loaded tables: with them every output ends its rows with the row's power of exclusion
    // (PE, four decimals; empty or null where a row has none) and gives the CPE of the marked
    // rows after the result lines (the text's closing lines, the CSV's standard error, the JSON's
    // "cpe").
    const freqdb::LocusTable* table = nullptr;
    const text::NumberFormat* format = nullptr; // with the table
};

// The shared formats (archive/summaryformat.h) and the count of the mutation model's rows
// (archive/caseindex.h), under the names the command's outputs have always used.
using archive::csvField;
using archive::jsonString;
using archive::mutationLoci;
using archive::writeJsonLines;

// kMutationLociLabel and the count, when the mutation model is on; empty otherwise.
std::string mutationLociLine(const BatchReport& report);

void writeText(const BatchReport& report, std::ostream& out);
// The table only: a header line and one line per row.
void writeCsv(const BatchReport& report, std::ostream& out);
void writeJson(const BatchReport& report, std::ostream& out);
// The CPE line the CSV output gives on standard error; empty without tables or marked PE.
std::string cpeLine(const BatchReport& report);

} // namespace cli
