// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Генотипы и рассчитать LR" on a genotyping export: the export is read, the operator picks the
// persons in SampleChoiceDialog, and the case is evaluated as the genotype workbook of its rows.
// Which file is an export: profiles::isGenotypeExportFile.
#include <filesystem>
#include <optional>

#include "app/dialogs.h"
#include "exchange/loadedresults.h"
#include "freqdb/locustable.h"
#include "profiles/genotypeexport.h"
#include "text/numberformat.h"

class QWidget;

namespace app {

// The evaluated case, a failed LoadedResults naming the file and the reason when the export
// cannot be read, or nullopt when the operator cancelled the choice.
std::optional<exchange::LoadedResults> loadExportCase(QWidget* parent, Dialogs& dialogs,
                                                      const std::filesystem::path& path,
                                                      const freqdb::LocusTable& table,
                                                      const text::NumberFormat& format);

} // namespace app
