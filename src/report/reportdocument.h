// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report as Qt rich text, in three parts that the PDF writer puts on pages: the front (title
// and the lines about the case), the table (any run of its rows, always under its header row) and
// the back (result lines, the probability at the report's priors, the counts, a line for the
// expert's signature). Every text of the case is escaped and keeps its blanks.
#include <QString>

#include "report/casereport.h"

namespace report {

QString frontHtml(const CaseReport& report);

// Rows first..last - 1 of report.rows under the header; with no rows at all, a line saying so.
QString tableHtml(const CaseReport& report, std::size_t first, std::size_t last);

QString backHtml(const CaseReport& report);

// The footer of page `page` (1-based) of `pages`: "Страница N из M".
QString pageFooter(int page, int pages);

} // namespace report
