// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line of paternity-index, for labs that evaluate whole cases without the window
// and for automated checks:
//
//   paternity-index <command> ...      (batch)
//   paternity-index --help | --version
//
// Results go to out, messages to err, in Russian. Exit status: 0 success, 1 a file cannot be read
// or written, the input is refused, or the results cannot be written to out; 2 wrong arguments
// (the reason and the usage on err).
#include <ostream>

#include "cli/exitstatus.h"

namespace cli {

int runCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err);

} // namespace cli
