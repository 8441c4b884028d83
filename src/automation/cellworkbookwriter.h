// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Saves worksheets of cell values as a new .xlsx workbook: texts as texts, numbers as numbers,
// each sheet's cells at the place its CellArray records (firstRow/firstColumn), in the order
// given. This carries the cells of a workbook that was read into a rewritten copy; formatting,
// formulas and everything else that is not a cell value are not carried.
//
// The file is written under a temporary name beside `path` and renamed over it, so a failed save
// leaves `path` as it was. A cell that holds a CellError cannot be written faithfully and fails
// the save, as does an invalid or repeated sheet name. Failures throw WorkbookError.
#include <filesystem>
#include <string>
#include <vector>

#include "automation/cellarray.h"

namespace automation {

struct NamedSheet {
    std::string name;
    CellArray cells;
};

// Over libxlsxwriter, as makeXlsxWorkbookWriter() (workbookwriter.h).
void saveCellWorkbook(const std::filesystem::path& path, const std::vector<NamedSheet>& sheets);

} // namespace automation
