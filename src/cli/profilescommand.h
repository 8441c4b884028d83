// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// paternity-index profiles EXPORT [--data DIR] [--format text|csv|json]
//
// Lists what a genotyping export holds before a case is formed from it: the samples in the order
// of the file with the number of markers typed for each, and the markers that no locus workbook
// of the data folder names (they are left out of every case). The names are those that batch's
// --father, --child and --mother take.
//
// Exit status: 0 listed; 1 the export or the data folder cannot be read, or the export is refused
// (the message on err names the file, the line and the reason); 2 wrong arguments.
#include "cli/command.h"

namespace cli {

Command addProfilesCommand(CLI::App& program);

} // namespace cli
