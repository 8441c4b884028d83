// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The cases of a run: the workbooks named, and the genotype workbooks of the folders named.
#include <filesystem>
#include <vector>

#include "archive/casesummary.h"

namespace archive {

// A genotype workbook by its name: .xlsx, .xls or .ods, and neither a results workbook of an
// earlier run (kResultsSuffix), a hidden file nor an office lock file.
bool isGenotypeWorkbookName(const std::filesystem::path& file);

// An argument as the cases it names, appended to `cases`: a workbook (or a path that is none, to
// be reported by the reader), or the genotype workbooks of a folder in the order of their names.
// A folder that cannot be listed or holds no workbook becomes a case that failed, so it is
// accounted for; so does a workbook's name in it that leads to no file (a dangling symbolic link).
void expandCase(const std::filesystem::path& argument, std::vector<CaseSummary>& cases);

} // namespace archive
