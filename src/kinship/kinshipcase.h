// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A deficiency case as read from a relatives workbook or formed from a genotyping export: the
// persons by role (with the export's sample names) and one row per locus with each person's
// genotype text, "a/b"; an empty text or "Нет/Нет" is a person not typed at that locus.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "kinship/caseroles.h"

namespace kinship {

struct CasePerson {
    Role role;
    std::string sample; // the export's sample name; empty for a workbook
};

struct CaseLocusRow {
    std::string number; // column A, or the row's position
    std::string locus;
    std::vector<std::string> genotypes; // one per person, in the order of KinshipCase::persons
    std::string statedVerdict; // not empty: the source marks the row as not evaluable, and why
};

struct KinshipCase {
    std::vector<CasePerson> persons;
    std::vector<CaseLocusRow> rows;
    std::vector<std::string> notes; // for the operator: markers of an export left out
};

// Why the persons cannot make a case, naming the person by `where(i)` (the header cell of a
// workbook, the argument of an export): a role twice, two children of the alleged father (or two
// brothers, two sisters, two mothers of his children) with one number, a mother of his child whose
// child is not there, no child, no relative of the alleged father. nullopt when they can.
std::optional<std::string> personsProblem(const std::vector<CasePerson>& persons,
                                          const std::function<std::string(std::size_t)>& where);

// Whether a genotype text is a person not typed at the locus: empty, blanks, "Нет" or "Нет/Нет".
bool untypedText(const std::string& text);

} // namespace kinship
