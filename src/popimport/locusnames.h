// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the import compares names: loci on tabletext::locusKey (letter case, blanks, underscores,
// hyphens and dots left out); header words and origin names without letter case.
#include <initializer_list>
#include <string>
#include <string_view>

#include "tabletext/locuskey.h"

namespace popimport {

using tabletext::locusKey;

// The text without letter case and surrounding blanks, for header words and origin names.
std::string plainWord(std::string_view text);

bool isOneOf(std::string_view text, std::initializer_list<std::string_view> words);

// Rows and columns of published tables that are statistics, not alleles ("N", "Hobs", "PIC",
// "HWE", "p-value", ...).
bool isStatisticName(std::string_view text);

} // namespace popimport
