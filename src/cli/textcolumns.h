// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text output's table: columns two blanks apart, widths counted in characters so Cyrillic
// texts line up like Latin ones, no blanks at a line's end.
#include <ostream>
#include <string>
#include <vector>

namespace cli {

void writeTextColumns(const std::vector<std::vector<std::string>>& lines, std::ostream& out);

} // namespace cli
