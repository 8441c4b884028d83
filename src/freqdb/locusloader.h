// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The locus workbook loader: fills a LocusTable from the workbooks of WorkDir/data/, one per
// locus (*.xls, *.xlsx, *.ods in any letter case), reading the worksheet "<locus><suffix>" of
// the chosen population. Workbooks are only ever opened for reading.
//
// A load builds a new table and hands it over only when every workbook was read: after a
// failure the caller keeps its previous table as a whole, so no table mixes two populations.
// The lab's settings file of the folder (freqdb/labsettingsfile.h) is read with the tables and
// travels in the table; a settings file that cannot be used fails the load the same way.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "automation/workbook.h"
#include "freqdb/datafolder.h"
#include "freqdb/locustable.h"
#include "freqdb/population.h"

namespace freqdb {

// Thrown by ReadLocusWorkbook. what() is the whole operator message: kReadFailed on the first
// line, then a line naming the file and the reason.
class LocusReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class LoadStatus {
    Loaded, // `table` holds every locus found
    FilesNotFound, // no locus workbook in the data folder: "Files not found"
    Failed, // a workbook could not be read, or the folder breaks a limit
};

struct LoadResult {
    LoadStatus status = LoadStatus::Failed;
    LocusTable table; // the new table when Loaded
    std::filesystem::path workDir;
    std::string message; // for FilesNotFound and Failed: the operator message
    // Failed because a workbook has no worksheet of the population: that refusal alone, without the
    // advice on how to add the population's tables (the window offers its import instead).
    std::string missingSheet;
    // When Loaded: what the operator should know about where the tables came from (loci left
    // out on purpose, lab copies of an earlier package passed over, the lab's own tables in
    // place of installed ones), one line each.
    std::vector<std::string> notes;
};

// Called after each workbook is read: done of total, and the locus name just read.
using LoadProgress = std::function<void(int done, int total, const std::string& locusName)>;

// Reads every locus workbook of workDir/data for `population`, in the byte order of the names'
// Windows-1251 encoding. Text frequencies are read with `format`'s decimal separator.
LoadResult LoadLocusTable(const std::filesystem::path& workDir, Population population,
                          const automation::WorkbookReader& reader, const text::NumberFormat& format,
                          const LoadProgress& progress = {});

// The same for a data folder given directly (the command line's --data DIR); `workDir` of the
// result is the folder's parent.
LoadResult LoadLocusTableFromFolder(const std::filesystem::path& dataDir, Population population,
                                    const automation::WorkbookReader& reader, const text::NumberFormat& format,
                                    const LoadProgress& progress = {});

// The same for a data folder that may be the lab's laid over the installed copy
// (freqdb/datafiles.h): a locus is read from the lab's workbook when that has the population's
// worksheet, else from the installed one; a locus with neither is left out when skipped-loci.txt
// names it for the population (freqdb/skippedloci.h), else the load fails. A folder holding an
// unfinished import fails the load (freqdb/unfinishedimport.h). `workDir` of the result is the
// parent of data.folder.
LoadResult LoadDataFolder(const DataFolder& data, Population population, const automation::WorkbookReader& reader,
                          const text::NumberFormat& format, const LoadProgress& progress = {});

// One locus workbook: the record of the worksheet "<file name without extension><suffix>".
// Throws LocusReadError.
LocusRecord ReadLocusWorkbook(const std::filesystem::path& path, Population population,
                              const automation::WorkbookReader& reader, const text::NumberFormat& format);

} // namespace freqdb
