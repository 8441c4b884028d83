// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What `validate` prints: the protocol as a readable text (identity, verdict, agreement,
// coverage, tables, warnings, every disagreement) or as one JSON object with every case, so that
// anyone can recompute any case.
#include <ostream>

#include "validation/validationprotocol.h"

namespace cli {

void writeValidationText(const validation::ValidationProtocol& protocol, std::ostream& out);

// {"identity": {...}, "verdict", "agreement": {...}, "coverage": [...], "unreached": [...],
//  "features": [...], "tables": [...], "warnings": [...], "cases": [{"case", "kind", "locus",
//  "father", "child", "mother", "formula", "freq1", "freq2", "lr", "independent", "agrees",
//  "problems"}]}. "independent" is a number: the index, 0 for an inconsistency with the father,
//  null where there is none (an inconsistency with the mother, a case that cannot be computed).
//  "relatives": {"loci", "skipped", "disagreeing", "cases": [{"constellation", "kind", "persons",
//  "loci": [{"locus", "genotypes", "formula", "lr", "programLr", "independent", "independentText",
//  "agrees", "problems"}], "agrees"}]}: the deficiency cases, "independent" the second
//  computation's LR (0 for an exclusion, null for a row without one).
void writeValidationJson(const validation::ValidationProtocol& protocol, std::ostream& out);

} // namespace cli
