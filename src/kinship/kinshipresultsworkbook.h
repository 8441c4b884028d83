// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The results workbook of a deficiency case: one worksheet "Лист1" with the relatives workbook's
// columns (№, Локус, a genotype column per person under its role) followed by "Формула", "LR" and
// "Типированы", a row per locus, and under a blank row the CPI line, the probability line and the
// population. Every cell is text, as in the results workbook of a trio.
#include <filesystem>
#include <string>

#include "automation/workbookwriter.h"
#include "freqdb/population.h"
#include "kinship/kinshipcase.h"
#include "kinship/kinshipevaluation.h"

namespace kinship {

// Saves through `writer` (replacing `path` only once complete). Throws automation::WorkbookError.
void saveKinshipResultsWorkbook(const std::filesystem::path& path, const KinshipCase& kinshipCase,
                                const KinshipResult& result, const std::string& probabilityLine,
                                freqdb::Population population, automation::WorkbookWriter& writer);

} // namespace kinship
