// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rules of the program's formula table, each trio and duo constellation on its own (not only
// each formula shape): D1 to D9 without the mother, T1 to T13 with her. The rule a case meets is
// worked out here from the table's conditions on the allele labels, apart from the engine, so that
// the validation can count the cases of every rule and draw on purpose a case for a rule the run
// did not reach.
#include <string>
#include <vector>

#include "validation/independentindex.h"

namespace validation {

struct FormulaRule {
    std::string id; // "D3", "T11"
    std::string condition; // in Russian, short
    // The constellation that meets it over five different alleles a..e: father, child, mother
    // (mother empty: a duo), each a pair of indices into a..e.
    int father[2], child[2], mother[2];
    bool trio() const { return id[0] == 'T'; }
};

// D1..D9, then T1..T13.
const std::vector<FormulaRule>& formulaRules();

// The id of the rule the case meets, the first in its table whose condition holds.
std::string formulaRule(const PersonLabels& father, const PersonLabels& child,
                        const std::optional<PersonLabels>& mother);

} // namespace validation
