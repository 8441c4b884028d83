// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a table file's locus or marker name meets the data folder's loci. Tables, workbooks and
// genotyping exports write one locus in many ways ("PENTA_E", "PentaE", "Penta E"; "VWA", "vWA"),
// so loci match on a key without letter case, blanks, underscores, hyphens and dots.
#include <string>
#include <string_view>

namespace tabletext {

std::string locusKey(std::string_view name);

} // namespace tabletext
