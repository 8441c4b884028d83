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
// So is every rule of the formula table (formularule.h), each constellation on its own.
//
// Every case's power of exclusion is held against the sum over every random man's genotype
// (independentpower.h). Whole cases (several loci, some with a random man's locus, some with a
// single-step inconsistency) are evaluated row by row, every row marked, and their CPI text held
// against the product of their LR texts, their probability of paternity for kPriors against
// Bayes' rule over that product, and their CPE against 1 - prod(1 - PE) of the independent PEs.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/combinedindex.h"
#include "engine/evaluatelocus.h"
#include "freqdb/locustable.h"
#include "results/genotyperow.h"
#include "text/numberformat.h"
#include "validation/casedraw.h"
#include "validation/independentindex.h"
#include "validation/relativescheck.h"

namespace validation {

inline constexpr long double kAgreement = 1e-9L;

// The program's evaluation of one row from its texts; the run calls results::evaluateGenotypeRow
// unless a test hands it another (a deliberately wrong one, to see it caught).
using RowEvaluator = std::function<engine::LocusOutcome(const freqdb::LocusTable&, std::string_view locus,
                                                        const results::GenotypeRowTexts&, const text::NumberFormat&)>;
RowEvaluator programEvaluator();

// The program's other computations the validation holds against its own: a row's PE, the
// combination of the marked rows' LR texts ("Перемножить"), the CPE and the evaluation of a
// deficiency case. The program's own unless a test hands in a deliberately wrong one.
using ExclusionPowerOf = std::function<std::optional<long double>(const freqdb::LocusTable&, std::string_view locus,
                                                                  const results::RowGenotype&)>;
using CombineTexts = std::function<engine::CombinedIndexResult(
    const std::vector<engine::CombinedIndexRow>&, const std::string& priorText, const text::NumberFormat&)>;
using CombinePowers = std::function<std::optional<long double>(const std::vector<long double>&)>;

struct ProgramComputations {
    RowEvaluator evaluate;
    ExclusionPowerOf exclusionPower;
    CombineTexts combine;
    CombinePowers combinedPower;
    EvaluateKinship evaluateRelatives;

    ProgramComputations(); // the program's own
    ProgramComputations(RowEvaluator evaluator); // the program's, with this row evaluation
};

// The priors whole cases are combined with.
inline constexpr long double kPriors[] = {0.1L, 0.5L, 0.9L};

struct CaseResult {
    DrawnCase drawn;
    std::string father, child, mother; // the genotype cells: "a/b", "Нет/Нет" for an untyped mother
    std::string formula, frequency1, frequency2, lr; // the row's texts
    long double programLr = 0; // the unrounded LR behind the text (0 without one)
    IndependentResult independent;
    std::string outcome; // the formula's shape or the verdict, as coverage counts it
    long double relativeDifference = 0; // of the unrounded LRs, when both are indices
    std::string rule; // the formula table's rule the case meets: "D3", "T11"
    std::optional<long double> pe, independentPe; // the power of exclusion, when there is one
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

// A whole case: its rows' texts and the combination's, beside the independent values.
struct CombinedCase {
    std::string kind; // in Russian
    std::vector<DrawnCase> loci;
    std::vector<std::string> lrTexts; // of each row, "" for a maternity exclusion
    std::string cpiText; // the program's line
    long double independentCpi = 0; // the product of the LR texts
    struct Probability {
        long double prior = 0;
        std::string text; // the program's line, "" when it gave none
        long double independent = 0; // percent
    };
    std::vector<Probability> probabilities;
    std::optional<long double> cpe, independentCpe;
    std::vector<std::string> problems;

    bool agrees() const { return problems.empty(); }
};

struct RuleLine {
    std::string rule; // "T11"
    std::string condition;
    std::size_t cases = 0;
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
    std::vector<RuleLine> rules; // every rule of the formula table and its cases
    std::size_t drawnForRules = 0; // cases added for rules the rotation had not reached
    std::vector<CombinedCase> combined;
    std::vector<std::size_t> combinedDisagreements; // indices into combined
    std::size_t peCompared = 0; // cases whose PE both computations gave
    std::vector<RelativesCase> relatives;
    std::vector<std::size_t> relativesDisagreements; // indices into relatives
    std::vector<std::string> relativesLoci; // the loci the families are typed at
    std::string relativesSkipped; // not empty: why no deficiency case was drawn

    bool allAgree() const
    {
        return disagreements.empty() && combinedDisagreements.empty() && relativesDisagreements.empty()
               && !cases.empty();
    }
};

// The most cases one run takes: a run keeps every case for its protocol (about 1 KB each).
inline constexpr std::size_t kMaxCases = 1'000'000;

struct ValidationOptions {
    std::size_t cases = 1000;
    std::uint64_t seed = 0;
    // Called now and then with the cases done and the total, for a progress line.
    std::function<void(std::size_t done, std::size_t total)> progress;
};

// Whole cases a run draws: trios and duos, without and with a random man's locus or a mutation.
inline constexpr std::size_t kWholeCases = 24;

// The deficiency cases a run of `cases` draws: one in 25, at least one of each constellation as a
// trio and as a duo, at most kMaxRelativesCases (the second computation is slow).
inline constexpr std::size_t kMaxRelativesCases = 200;
std::size_t relativesCaseCount(std::size_t cases);

// Runs the validation on `table` (its settings apply). A table with nothing to draw gives no cases.
// The independent computation uses `independentSettings` (the plain reading of the settings file,
// settingscheck.h) where given, else the table's.
ValidationResult runValidation(const freqdb::LocusTable& table, const text::NumberFormat& format,
                               const ValidationOptions& options, const ProgramComputations& program = {},
                               const std::optional<freqdb::LabSettings>& independentSettings = std::nullopt);

// The outcome a case of the program shows for an inconsistency with the father: the verdict, or
// the mutation model's formula text.
std::string paternalOutcome(const freqdb::LabSettings& settings);

} // namespace validation
