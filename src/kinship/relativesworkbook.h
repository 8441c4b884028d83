// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The relatives workbook: a deficiency case in the first worksheet of an .xlsx, .xls or .ods.
//
//   row 1:  "№" | "Локус" | one column per person, headed by its role (caseroles.h)
//   row 2+: number | locus name | each person's genotype "a/b"; empty or "Нет/Нет": not typed
//
// Blank rows are skipped. A column with an empty header and nothing below it is passed over.
// Refused, naming the cell: B1 other than "Локус", a header that is no role, an empty header over
// genotypes, a role twice or a number twice, a mother of a child of the alleged father who is not
// there; and a case without the child or without any relative.
#include <filesystem>
#include <stdexcept>

#include "automation/workbook.h"
#include "kinship/kinshipcase.h"
#include "text/numberformat.h"

namespace kinship {

// A workbook or export that cannot make a case; what() is the operator message naming the file
// and the cell.
class CaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

KinshipCase readRelativesWorkbook(const std::filesystem::path& path, const automation::WorkbookReader& reader,
                                  const text::NumberFormat& format);

} // namespace kinship
