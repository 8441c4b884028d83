// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One deficiency case of a validation run: the family drawn (relativesdraw.h) made into a case as
// a relatives workbook gives it, evaluated by the program as the `kinship` command evaluates it,
// and each locus held against the second computation (independentkinship.h): the verdict (an
// index, with or without mutation, "Отцовство исключается", "Материнство исключается", or not
// evaluated) and the unrounded LR to a relative kAgreement.
#include <functional>
#include <string>
#include <vector>

#include "freqdb/locustable.h"
#include "kinship/kinshipevaluation.h"
#include "text/numberformat.h"
#include "validation/independentkinship.h"
#include "validation/relativesdraw.h"

namespace validation {

// The program's evaluation of a deficiency case; kinship::evaluateKinshipCase unless a test hands
// in a deliberately wrong one.
using EvaluateKinship = std::function<kinship::KinshipResult(const kinship::KinshipCase&, const freqdb::LocusTable&,
                                                             const text::NumberFormat&, const std::string& prior)>;

struct RelativesRow {
    std::string locus;
    std::vector<std::string> genotypes; // one per person of the case
    std::string formula; // the program's formula cell: the constellation or a verdict
    std::string lr; // the program's LR text
    long double programLr = 0;
    RelativesIndependent independent;
    std::vector<std::string> problems; // empty: the two agree
};

struct RelativesCase {
    DrawnRelatives drawn;
    std::vector<std::string> persons; // short names ("отец ПО"), in the case's column order
    std::vector<RelativesRow> rows;

    bool agrees() const
    {
        for (const RelativesRow& row : rows)
            if (!row.problems.empty())
                return false;
        return true;
    }
};

// The family as the case the `kinship` command reads: one column per person, one row per locus.
kinship::KinshipCase relativesCaseOf(const DrawnRelatives& drawn);

RelativesCase checkRelativesCase(const DrawnRelatives& drawn, const freqdb::LocusTable& table,
                                 const freqdb::LabSettings& independent, const text::NumberFormat& format,
                                 const EvaluateKinship& program);

// The case in words: "трио: оба родителя ПО".
std::string constellationText(const DrawnRelatives& drawn);

// The second computation's value as the protocol prints it: the index, or a word for a verdict.
std::string independentText(const RelativesIndependent& value);

} // namespace validation
