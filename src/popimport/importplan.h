// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What an import will write into the data folder, worked out and checked before anything is
// written. Each locus of the table is matched to its workbook by locusKey(); its worksheet
// "<workbook name><suffix>" is added or replaced, every other worksheet keeps its cells, and the
// workbook becomes .xlsx (an .xls or .ods original goes to the backup folder, as does the .xlsx
// being replaced). The loader needs the population's worksheet in every workbook of the folder,
// so a workbook the table does not cover is refused, or with `prune` moved to the backup folder.
// The worksheets carried unchanged are held until written, so their size is bounded, all
// workbooks together; a hostile workbook beyond it is refused, naming it and the sheet.
//
// Into the lab's folder laid over the installed copy (freqdb/datafiles.h) an import writes only
// the lab's own: a locus whose workbook is installed gets a workbook of the lab's own holding
// just the new worksheet (the installed worksheets of other populations stay where a package
// update reaches them); a lab workbook of its own keeps its worksheets. There `prune` moves
// nothing installed: the loci the table does not cover are named in skipped-loci.txt for the
// population (freqdb/skippedloci.h), as are the new loci of `newLoci` for the other populations,
// so that no population of the folder becomes unloadable; a lab workbook of such a locus that
// holds the population's worksheet of an earlier import goes to the backup folder when that is
// its only worksheet, and is refused otherwise, so the old table is not loaded beside the new.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "automation/cellworkbookwriter.h"
#include "automation/workbook.h"
#include "freqdb/population.h"
#include "popimport/frequencytable.h"
#include "text/numberformat.h"

namespace popimport {

struct ImportRequest {
    std::filesystem::path dataDir;
    freqdb::Population population = freqdb::Population::Unset;
    bool newLoci = false; // a table locus without a workbook gets a new one
    bool prune = false; // a workbook the table does not cover goes to the backup folder
    std::filesystem::path installedDir; // not empty: dataDir is the lab's folder laid over it
    bool createFolder = false; // dataDir may not exist yet (the lab's folder, made on writing)
};

struct LocusUpdate {
    std::size_t locus = 0; // index into FrequencyTable::loci
    std::filesystem::path original; // the workbook now in the folder; empty for a new one
    std::filesystem::path target; // the .xlsx written
    // The original's permissions, which the new workbook keeps (a lab's shared folder gives its
    // group write access); none for a new workbook, which gets the process's default.
    std::optional<std::filesystem::perms> permissions;
    std::string sheet; // "<locus>-rus"
    bool sheetReplaced = false; // the worksheet was there before
    bool overInstalled = false; // a lab workbook of its own over the installed one
    std::vector<automation::NamedSheet> sheets; // the whole new workbook
};

struct ImportPlan {
    std::vector<LocusUpdate> updates; // in the order of the table
    std::vector<std::string> leftOut; // table loci with no workbook (no --new-loci)
    std::vector<std::filesystem::path> pruned; // workbooks the table does not cover (--prune)
    std::vector<std::string> skipped; // loci left out for the population (--prune over the installed copy)
    std::vector<std::string> skippedElsewhere; // new loci, left out for the other populations
    std::optional<std::string> skippedLociText; // the new skipped-loci.txt, when it changes
    std::string folderState; // the folder as the plan read it (folderguard.h)
};

// The closing row of every written locus worksheet.
inline constexpr const char* kClosingLabel = "Сумма";

// Throws ImportError when the folder or a workbook cannot be read, or the table does not cover
// the folder and `prune` is not given.
ImportPlan planImport(const FrequencyTable& table, const ImportRequest& request,
                      const automation::WorkbookReader& reader);

// The worksheet of one locus: alleles in rows 1..n (label text, frequency number), then
// "Сумма" and the total.
automation::CellArray locusSheet(const ImportedLocus& locus);

} // namespace popimport
