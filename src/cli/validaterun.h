// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The run of `validate`: loads the tables, runs the validation (src/validation), prints the
// protocol as text or JSON and writes it as a PDF when asked. Exit status 0 when the program and
// the independent computations agree on every case and whole case, the tables agree with their
// source and the settings with their plain reading; 1 when any does not (each difference is
// listed) or a file cannot be read or written.
#include <ostream>

#include "cli/validateoptions.h"
#include "validation/validationrun.h"

namespace cli {

int runValidate(const ValidateOptions& options, std::ostream& out, std::ostream& err,
                const validation::ProgramComputations& program = {});

} // namespace cli
