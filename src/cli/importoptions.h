// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The `import` command's arguments, read without touching any file.
#include "cli/command.h"

namespace cli {

// Adds `import` to the program's command line; its run brings the table into the data folder.
Command addImportCommand(CLI::App& program);

} // namespace cli
