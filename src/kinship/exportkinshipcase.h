// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A deficiency case formed from a genotyping export: the operator names the child's sample, the
// mother's if she was typed, and a sample for each relative by role ("Брат предполагаемого отца
// 1=S-1234"). Each locus of the data folder that the export holds for one of them becomes a row,
// in the order of the loaded loci; a homozygote "14" is "14/14", a person without a call at the
// marker is not typed there, and more than two alleles leave the row not evaluated.
#include <optional>
#include <string>
#include <vector>

#include "freqdb/locustable.h"
#include "kinship/kinshipcase.h"
#include "profiles/genotypeexport.h"

namespace kinship {

struct ExportChoice {
    std::string child;
    std::optional<std::string> mother;
    std::vector<std::string> persons; // "ROLE=SAMPLE", as typed
};

// The case; throws CaseError naming the argument at fault (a role that is none, a sample the
// export lacks, a role twice) and listing the export's samples where one is missing.
KinshipCase formExportCase(const profiles::GenotypeExport& data, const ExportChoice& choice,
                           const freqdb::LocusTable& table);

} // namespace kinship
