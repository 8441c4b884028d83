// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A validation run: cases drawn from the lab's tables (casedraw.h), each evaluated by the program
// exactly as the window and `batch` evaluate a row (genotype texts -> results row texts) and by the
// independent likelihood (independentindex.h), then held against each other:
//
// - the verdict: an index, "Отцовство исключается", "Материнство исключается" or the mutation
//   model's index, as the likelihoods say;
// - the unrounded LR against the independent value, to a relative kAgreement;
// - the LR text: the independent value rounded as the text says (two decimals, five significant
//   digits, or the exponent form of the mutation index);
// - the formula text: the formula it shows, with the frequencies it names, gives the same value,
//   and one of two alleles names the child's alleles in the order they were entered;
// - the frequency texts: each names an allele of the formula (the child's with mutation) and the
//   frequency the index used, to three decimals.
//
// Every outcome the program can give for a duo and a trio is counted (coverage); one no drawn
// case reached is then drawn on purpose from its recipe, so a run of any size reaches them all.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/evaluatelocus.h"
#include "freqdb/locustable.h"
#include "results/genotyperow.h"
#include "text/numberformat.h"
#include "validation/casedraw.h"
#include "validation/independentindex.h"

namespace validation {

inline constexpr long double kAgreement = 1e-9L;

// The program's evaluation of one row from its texts; the run calls results::evaluateGenotypeRow
// unless a test hands it another (a deliberately wrong one, to see it caught).
using RowEvaluator = std::function<engine::LocusOutcome(const freqdb::LocusTable&, std::string_view locus,
                                                        const results::GenotypeRowTexts&, const text::NumberFormat&)>;
RowEvaluator programEvaluator();

struct CaseResult {
    DrawnCase drawn;
    std::string father, child, mother; // the genotype cells: "a/b", "Нет/Нет" for an untyped mother
    std::string formula, frequency1, frequency2, lr; // the row's texts
    long double programLr = 0; // the unrounded LR behind the text (0 without one)
    IndependentResult independent;
    std::string outcome; // the formula's shape or the verdict, as coverage counts it
    long double relativeDifference = 0; // of the unrounded LRs, when both are indices
    std::vector<std::string> problems; // empty: the two agree

    bool trio() const { return drawn.mother.has_value(); }
    bool agrees() const { return problems.empty(); }
};

struct CoverageLine {
    bool trio = false;
    std::string outcome;
    std::size_t cases = 0;
    bool expected = true; // an outcome the program gives for these settings; false: seen besides
};

struct FeatureLine {
    std::string feature;
    std::size_t cases = 0;
};

struct ValidationResult {
    std::vector<CaseResult> cases;
    std::size_t drawnOnPurpose = 0; // cases added for outcomes the rotation had not reached
    std::size_t agreeing = 0;
    long double largestRelativeDifference = 0;
    std::size_t largestAt = 0; // its case number, 1-based; 0 with no index compared
    std::vector<CoverageLine> coverage;
    std::vector<std::string> unreached; // "трио: 1/2p(a)"; empty when every outcome was reached
    std::vector<FeatureLine> features;
    std::vector<std::size_t> disagreements; // indices into cases

    bool allAgree() const { return disagreements.empty() && !cases.empty(); }
};

// The most cases one run takes: a run keeps every case for its protocol (about 1 KB each).
inline constexpr std::size_t kMaxCases = 1'000'000;

struct ValidationOptions {
    std::size_t cases = 1000;
    std::uint64_t seed = 0;
    // Called now and then with the cases done and the total, for a progress line.
    std::function<void(std::size_t done, std::size_t total)> progress;
};

// Runs the validation on `table` (its settings apply). A table with nothing to draw gives no cases.
ValidationResult runValidation(const freqdb::LocusTable& table, const text::NumberFormat& format,
                               const ValidationOptions& options, const RowEvaluator& evaluator = programEvaluator());

// The outcome a case of the program shows for an inconsistency with the father: the verdict, or
// the mutation model's formula text.
std::string paternalOutcome(const freqdb::LabSettings& settings);

} // namespace validation
