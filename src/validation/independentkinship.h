// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A second computation of a deficiency case's locus (the alleged father untyped, his relatives
// typed), written apart from the program's pedigree likelihood: the pedigree of the typed persons
// is listed person by person and each likelihood summed over every untyped person's genotype over
// the locus's whole allele table (pedigreesum.h).
//
//   Hp: the child is a child of the alleged father and the mother;
//   Hd: the child is a child of the mother and an unrelated man; the alleged father stays in his
//       family.
//
// The frequencies are the table's with the lab's minimum applied (a label the table lacks has the
// minimum); founders draw from the table as the typed persons' alleles leave it (pedigreesum.h).
// What a row shows follows from the sums: relatives whose own genotypes cannot be (their family's
// sum is 0) are not evaluated; a typed mother sharing no allele with the child excludes
// maternity; an LR of 0 excludes paternity, or with the mutation model on is summed again with
// the proportional model in the child's two transmissions (the frequencies scaled to 1 when they
// sum above it; a = rate / (sum q(1 - q), with R(1 - R) of the remainder R when they sum below).
// A typed alleged father makes a trio or a duo: his row is the independent index of the trio or
// duo (independentindex.h), once his relatives fit him. θ is not applied to a pedigree.
#include <optional>
#include <string>
#include <vector>

#include "freqdb/labsettings.h"
#include "freqdb/locusrecord.h"
#include "validation/independentindex.h"

namespace validation {

struct RelativesLabels {
    struct OtherChild {
        PersonLabels child;
        std::optional<PersonLabels> mother; // nullopt: not typed
    };
    PersonLabels child;
    std::optional<PersonLabels> mother;
    std::optional<PersonLabels> allegedFather; // typed only as a control
    std::optional<PersonLabels> fathersFather;
    std::optional<PersonLabels> fathersMother;
    std::vector<PersonLabels> siblings;
    std::vector<OtherChild> otherChildren;
};

enum class RelativesFinding {
    Index, // plain, or with mutation
    PaternityExcluded,
    MaternityExcluded,
    RelativesInconsistent, // the relatives' own genotypes cannot be: not evaluated
    NotComputable, // no likelihood exists (an allele the table lacks, a rate too high)
};

struct RelativesIndependent {
    RelativesFinding finding = RelativesFinding::NotComputable;
    long double lr = 0; // Index: the index; PaternityExcluded: 0
    bool mutation = false;
    std::string reason; // NotComputable: why, in Russian
};

RelativesIndependent independentRelativesIndex(const freqdb::LocusRecord& locus, const freqdb::LabSettings& settings,
                                               const RelativesLabels& family);

} // namespace validation
