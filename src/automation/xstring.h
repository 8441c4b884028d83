// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Texts in .xlsx cells carry characters that XML cannot hold (control characters such as the
// carriage return of a cell with line breaks) as "_xHHHH_", a UTF-16 code unit in hexadecimal;
// a literal "_x" that would look like one is itself written "_x005F_x...". Spreadsheet programs
// show the decoded text, so the reader decodes it too.
#include <string>
#include <string_view>

namespace automation {

std::string decodeXString(std::string_view text);

// The text with every literal "_xHHHH_" written as "_x005F_xHHHH_", so that a spreadsheet program
// shows it as typed. Control characters are escaped by the .xlsx writer library itself.
std::string escapeXStringLiterals(std::string_view text);

} // namespace automation
