// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A deficiency case evaluated: per locus the likelihood ratio L(Hp)/L(Hd) of the pedigree
// (pedigreelikelihood.h) with the population's frequencies and the lab's settings, and the
// combined index of the evaluated loci with the prior, as "Перемножить" forms it.
//
// A row shows, as a results row does: the constellation ("трио: отец ПО, мать ПО") or a verdict in
// its formula cell, and the LR written by the LR rule of the results table. LR 0 is "Отцовство
// исключается" with LR "0"; with the mutation model on, such a row gets the index with mutation
// ("мутация μ=0,002"), as a trio's or duo's row does. A typed mother who shares no allele with the
// child gives "Материнство исключается" without an LR. A row whose relatives' own genotypes cannot
// be (a brother with an allele neither parent has) is not evaluated and says so, naming the person
// whose genotype does not fit when one does; so is a row without the child, with a locus or an
// allele the tables lack. With the alleged father typed as a control, the row is the trio's or
// duo's row of the same genotypes, exactly (engine::EvaluateLocus), once his relatives fit him.
//
// θ is not applied to a pedigree; a table whose settings have it is refused (kThetaRefused).
#include <string>
#include <vector>

#include "engine/combinedindex.h"
#include "engine/evaluatelocus.h"
#include "engine/mutationindex.h"
#include "freqdb/locustable.h"
#include "kinship/kinshipcase.h"
#include "text/numberformat.h"

namespace kinship {

struct KinshipRow {
    std::string number;
    std::string locus;
    std::vector<std::string> genotypes; // as the case gives them, one per person
    engine::Verdict verdict = engine::Verdict::Failed; // Failed: not evaluated
    std::string formula; // the constellation, the batch formula of a typed father, or a verdict
    std::string lr; // the LR text; empty when there is none
    long double lrValue = 0;
    bool mutation = false; // the mutation model gave the index
    std::vector<std::string> typedRoles; // short names of the persons typed at the locus
};

struct KinshipResult {
    std::vector<KinshipRow> rows;
    engine::CombinedIndexResult combined; // every row with an LR taken
    int withoutLr = 0; // rows that have no LR (not evaluated, maternity excluded)
};

// One row; `persons` as the case has them.
KinshipRow evaluateKinshipLocus(const std::vector<CasePerson>& persons, const CaseLocusRow& row,
                                const freqdb::LocusTable& table, const text::NumberFormat& format);

// Every row, then the combined index with `prior` (a text as the window's prior field takes it).
KinshipResult evaluateKinshipCase(const KinshipCase& kinshipCase, const freqdb::LocusTable& table,
                                  const text::NumberFormat& format, const std::string& prior);

// The constant a of the proportional mutation model for these frequencies (as the trio's and
// duo's index computes it, engine/mutationindex.h), with the frequencies it applies to (scaled to
// sum 1 when they sum above it). failure is not None when the model cannot be applied.
struct MutationConstant {
    engine::MutationFailure failure = engine::MutationFailure::None;
    long double a = 0;
    std::vector<long double> frequencies;
};
MutationConstant mutationConstant(const std::vector<long double>& frequencies, long double rate);

} // namespace kinship
