// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The run of `validate`: loads the tables, runs the validation (src/validation), prints the
// protocol as text or JSON and writes it as a PDF when asked. Exit status 0 when the program and
// the independent likelihood agree on every case, 1 when they do not (the cases are listed) or a
// file cannot be read or written.
#include <ostream>

#include "cli/validateoptions.h"
#include "validation/validationrun.h"

namespace cli {

int runValidate(const ValidateOptions& options, std::ostream& out, std::ostream& err,
                const validation::RowEvaluator& evaluator = validation::programEvaluator());

} // namespace cli
