// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the import compares names. Tables and workbooks write one locus in many ways ("PENTA_E",
// "PentaE", "Penta E"; "VWA", "vWA"), so loci match on a key without letter case, blanks,
// underscores, hyphens and dots. Header words and origin names compare without letter case.
#include <initializer_list>
#include <string>
#include <string_view>

namespace popimport {

std::string locusKey(std::string_view name);

// The text without letter case and surrounding blanks, for header words and origin names.
std::string plainWord(std::string_view text);

bool isOneOf(std::string_view text, std::initializer_list<std::string_view> words);

// Rows and columns of published tables that are statistics, not alleles ("N", "Hobs", "PIC",
// "HWE", "p-value", ...).
bool isStatisticName(std::string_view text);

} // namespace popimport
