// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An evaluated deficiency case as its report needs it (report/kinshipreport.h): what the command
// line hands the report module.
#include <filesystem>
#include <string>

#include "freqdb/locustable.h"
#include "kinship/kinshipcase.h"
#include "kinship/kinshipevaluation.h"
#include "text/numberformat.h"

namespace kinship {

struct KinshipReportCase {
    const KinshipCase* kinshipCase = nullptr;
    const KinshipResult* result = nullptr;
    const freqdb::LocusTable* table = nullptr; // the loaded frequency tables
    std::filesystem::path dataDir;
    std::filesystem::path source; // the relatives workbook or the export
    std::string probabilityLine; // as shown
    std::string prior; // the prior the probability line was formed with
    const text::NumberFormat* format = nullptr;
};

} // namespace kinship
