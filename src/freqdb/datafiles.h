// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The files of a data folder as the program uses them. In a folder alone, its own files. In the
// lab's folder laid over the installed copy, per file name: the lab's file when it has one of its
// own, else the installed one. A lab file whose content is one the program has shipped
// (freqdb/shippedfiles.h) is a copy, not the lab's own, and is passed over: a lab folder copied
// whole by an earlier version never hides a later package's tables, help or examples. A locus
// is read from the lab's workbook when that holds the population's worksheet, else from the
// installed workbook (the loader does that, locusloader.h).
//
// An import of an earlier version wrote the lab's worksheet into a whole copy of the installed
// workbook, carrying the program's worksheets along, and moved the copy into a backup-* folder of
// the lab's folder. Such a copy is a shipped origin of the workbook: a worksheet of the lab's
// workbook whose table equals an origin's is the program's, not the lab's, and the installed
// one is read in its place.
#include <filesystem>
#include <string>
#include <vector>

#include "freqdb/datafolder.h"

namespace freqdb {

struct LocusWorkbooks {
    std::string locus; // the locus name (locusNameOf)
    std::filesystem::path own; // the lab's (or the lone folder's) workbook; empty when none
    std::filesystem::path installed; // the installed workbook under it; empty when none
    std::vector<std::filesystem::path> shippedOrigins; // shipped copies of it in backup-* folders
};

struct DataFiles {
    std::vector<LocusWorkbooks> loci; // in the Windows-1251 order of the workbooks' file names
    std::vector<std::filesystem::path> passedCopies; // lab copies of shipped files, not used
    std::vector<std::filesystem::path> outdatedCopies; // of those, the ones the installed file replaced
    std::string error; // two workbooks of one locus in one folder: the operator message
};

// Throws std::filesystem::filesystem_error when a folder cannot be read.
DataFiles listDataFiles(const DataFolder& data);

// The file `name` in force: the lab's own, else the installed one; empty when neither has it.
std::filesystem::path fileInForce(const DataFolder& data, const std::string& name);

// One line for the operator when lab copies of an earlier version are passed over for the
// installed files that replaced them; empty when there are none.
std::string outdatedCopiesNote(const DataFolder& data, const DataFiles& files);

} // namespace freqdb
