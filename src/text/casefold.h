// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Case folding for the names a spreadsheet program compares without regard to case (worksheet
// names): Latin A-Z and the Cyrillic letters of Windows-1251 (А-Я, Ё, and the Ukrainian and
// Belarusian letters of that code page) fold to lower case; everything else is kept as it is.
#include <string>
#include <string_view>

namespace text {

std::string foldCase(std::string_view utf8);

} // namespace text
