// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// batch on a genotyping export: the case of the samples named by --father, --child and --mother,
// evaluated as the genotype workbook of the same rows (profiles/profilecase.h), so the rest of
// the run (marks, CPI, outputs, report) is that of any case.
#include "cli/batchoptions.h"
#include "exchange/loadedresults.h"
#include "freqdb/locustable.h"
#include "text/numberformat.h"

namespace cli {

struct ExportCase {
    bool isExport = false; // false: the case is a workbook, for the workbook reader
    // The arguments do not fit the file: a name the export does not hold, or an export given
    // without the samples; loaded.error says which and lists the export's samples.
    bool wrongArguments = false;
    exchange::LoadedResults loaded;
};

ExportCase evaluateExportCase(const BatchOptions& options, const freqdb::LocusTable& table,
                              const text::NumberFormat& format);

} // namespace cli
