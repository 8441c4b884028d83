// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// paternity-index import TABLE --population rus|white|black [--data DIR] [--origin NAME]
//                               [--new-loci] [--prune] [--dry-run]
// paternity-index import --undo [--data DIR]
//
// Brings a lab's published allele-frequency table into the data folder as the worksheets
// "<locus>-<suffix>" of the population, all or nothing, and prints a summary: one line per
// locus (the name in the table, the workbook, the alleles, the sum of frequencies), a warning
// for a sum further than 0,01 from 1, the loci left out, the workbooks moved to the backup
// folder. --dry-run prints the summary and writes nothing. Without --data the import writes into
// the data folder the window loads, or into the lab's folder laid over the installed copy
// (freqdb/datafolder.h), made only when something is written. --undo puts a folder left by an
// import that was stopped between its renames back as it was (popimport/folderupdate.h).
//
// Exit status: 0 done; 1 the table or the folder cannot be read or written, or the input is
// refused (nothing written; the message on err names the file, the line or cell and the reason).
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "freqdb/population.h"

namespace cli {

struct ImportOptions {
    std::filesystem::path table;
    freqdb::Population population = freqdb::Population::Unset;
    // The folder to write into; none: the data folder the window would load, or the lab's own
    // folder over it when that is the read-only installed one (freqdb/datafolder.h).
    std::optional<std::filesystem::path> dataDir;
    std::optional<std::string> origin;
    bool newLoci = false;
    bool prune = false;
    bool dryRun = false;
    bool undo = false; // undo an unfinished import instead; needs no table nor population
};

int runImport(const ImportOptions& options, std::ostream& out, std::ostream& err);

} // namespace cli
