// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The paternity index of one locus. EvaluateLocus decides the inheritance constellation from the
// genotypes of the alleged father, the child and (when typed) the mother and returns what the
// results row shows: the formula and the frequencies that entered it with the LR, or an
// exclusion verdict. It reads nothing but its arguments and writes nothing; the results table
// applies the outcome to a row (results::ResultsGrid::applyOutcome).
//
// Mother absent (m1 or m2 is NoAllele): table D, rows D1..D9. Mother typed: table T, rows
// T1..T6 (exclusions) and T7..T13 (formulas). Rows are tried top to bottom; the first that
// holds decides.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "freqdb/labsettings.h"
#include "freqdb/locusrecord.h"
#include "text/numberformat.h"

namespace engine {

enum class Verdict {
    Index, // a formula and an LR
    PaternityExcluded, // "Отцовство исключается", LR "0"
    MaternityExcluded, // "Материнство исключается", LR empty
    Failed, // no LR can be given (zero frequency, an index outside the locus)
};

struct LocusOutcome {
    Verdict verdict = Verdict::Failed;
    std::string rule; // "D1".."D9", "T1".."T13"; empty for Failed
    std::string formula; // column 2: formula, verdict or failure message
    std::optional<std::string> frequency1; // column 3, when the formula uses it
    std::optional<std::string> frequency2; // column 4, when the formula uses a second allele
    std::string lr; // column 5: LR text, "0", or empty
    long double lrValue = 0; // the unrounded LR (Index) or 0
    bool mutation = false; // the index is the mutation model's, in place of a paternity exclusion
};

// f1, f2, m1, m2, c1, c2 in this order: father 1, father 2, mother 1, mother 2, child 1,
// child 2. Father and child indices must name alleles of `locus` (1..AlleleCount), the mother's
// too or be NoAllele; anything else, and a zero frequency that a formula divides by, gives
// Verdict::Failed with a Russian message in `formula` and no LR.
LocusOutcome EvaluateLocus(const freqdb::LocusRecord& locus, std::uint8_t f1, std::uint8_t f2, std::uint8_t m1,
                           std::uint8_t m2, std::uint8_t c1, std::uint8_t c2, const text::NumberFormat& format);

// The same with the lab's settings; settings that are all off give exactly the outcome above.
LocusOutcome EvaluateLocus(const freqdb::LocusRecord& locus, std::uint8_t f1, std::uint8_t f2, std::uint8_t m1,
                           std::uint8_t m2, std::uint8_t c1, std::uint8_t c2, const text::NumberFormat& format,
                           const freqdb::LabSettings& settings);

// The frequency of `allele` as an index uses it: the table's, raised to the lab's minimum when
// below it. A frequency that is no proportion at all (negative, NaN) is returned as it is.
long double indexFrequency(const freqdb::LocusRecord& locus, std::uint8_t allele, const freqdb::LabSettings& settings);

// True for the formula text of an index that the mutation model gave ("мутация μ=..."): the
// results table keeps texts only, and this is how a row read from it tells such an index.
bool isMutationFormula(std::string_view formula);

} // namespace engine
