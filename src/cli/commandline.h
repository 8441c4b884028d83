// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line of paternity-index, for labs that evaluate whole cases without the window
// and for automated checks:
//
//   paternity-index batch GENOTYPES --population rus|white|black [--data DIR] [--prior P]
//                   [--output RESULTS.xlsx] [--format text|csv|json]
//   paternity-index --help | --version
//
// The batch loads the locus table of the population from DIR (default ./data), evaluates the
// genotype workbook as the window's "Генотипы и рассчитать LR" does, marks every row that has an
// LR, combines them as "Перемножить" does with the prior (default "0,5") and prints the table.
// Every printed text is the one the window would show.
//
// Exit status: 0 success, 2 usage error, 1 a workbook cannot be read or written, or the report
// cannot be written to out (the message, with the window's texts, goes to err).
#include <ostream>

namespace cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

int runCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err);

} // namespace cli
