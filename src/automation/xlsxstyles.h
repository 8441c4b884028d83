// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The number formats of an .xlsx workbook's cell styles (xl/styles.xml), as far as telling a
// date or time from a number: each cellXfs entry, in order (a cell's s attribute indexes it),
// with the kind of its numFmtId, a built-in format or one of the workbook's numFmts.
#include <string>
#include <vector>

#include "automation/numberformatkind.h"

namespace automation {

class ZipArchive;

std::vector<NumberKind> readXlsxCellKinds(ZipArchive& zip, const std::string& part, const std::string& where);

} // namespace automation
