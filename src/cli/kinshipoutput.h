// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What `kinship` prints: per locus the number, the locus, each person's genotype, the formula
// cell (the constellation or a verdict), the LR and the persons typed there; then the CPI line and
// the probability line. Text (aligned columns), CSV (the rows; the lines go to standard error) or
// JSON ({"population", "persons", "rows": [{"row", "locus", "genotypes", "formula", "lr", "typed",
// "mutation"}], "cpi", "probability", "settings"}).
#include <ostream>
#include <string>

#include "freqdb/labsettings.h"
#include "kinship/kinshipcase.h"
#include "kinship/kinshipevaluation.h"

namespace cli {

struct KinshipOutput {
    std::string population; // "rus", "white", "black"
    const kinship::KinshipCase* kinshipCase = nullptr;
    const kinship::KinshipResult* result = nullptr;
    std::string probability; // the probability line as shown (archive::shownProbability)
    const freqdb::LabSettings* settings = nullptr;
};

void writeKinshipText(const KinshipOutput& output, std::ostream& out);
void writeKinshipCsv(const KinshipOutput& output, std::ostream& out);
void writeKinshipJson(const KinshipOutput& output, std::ostream& out);

} // namespace cli
