// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One import from start to end, the steps the command line and the window share: read the
// table, plan against a data folder, describe the plan for the operator, carry it out.
//
//   prepareImport  -> the table, the folder written into and the plan (nothing written)
//   importSummary  -> the summary the operator checks before anything is written
//   applyImport    -> (folderupdate.h) all or nothing, with backups
#include <filesystem>
#include <optional>
#include <string>

#include "automation/workbook.h"
#include "freqdb/datafolder.h"
#include "freqdb/population.h"
#include "popimport/frequencytable.h"
#include "popimport/importplan.h"
#include "text/numberformat.h"

namespace popimport {

struct ImportChoice {
    std::filesystem::path table;
    freqdb::Population population = freqdb::Population::Unset;
    std::optional<std::string> origin; // the XML export's origin to take
    bool newLoci = false;
    bool prune = false;
};

struct PreparedImport {
    FrequencyTable table;
    ImportPlan plan;
    freqdb::DataFolder data; // the folder written into, laid over the installed one or alone
};

// Labels are written with the decimal comma whatever the locale, as in the bundled workbooks
// and the genotype workbooks: "9,3" must name the same allele in every population.
const text::NumberFormat& importNumberFormat();

// Reads the table first, so that a table that cannot be used leaves every folder as it was; then
// takes the folder to write into (`dataDir` alone when given, else the lab's folder, laid over
// the installed one: freqdb::importDataFolder) and plans the import there. Writes nothing.
// Throws ImportError.
PreparedImport prepareImport(const ImportChoice& choice, const freqdb::DataFolderPlaces& places,
                             const std::optional<std::filesystem::path>& dataDir,
                             const automation::WorkbookReader& reader);

// One line per locus (the name in the table, the workbook, the alleles, the sum), a warning for a
// sum further than 0,01 from 1, the loci left out or skipped, the workbooks moved aside.
std::string importSummary(const PreparedImport& prepared, const ImportChoice& choice);

// The closing line of a finished import: the workbooks written and where the old ones went.
std::string importDoneLine(const PreparedImport& prepared, const std::filesystem::path& backupDir);

} // namespace popimport
