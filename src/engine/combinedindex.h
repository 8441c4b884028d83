// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The combined paternity index ("Перемножить"): the product of the LR texts of the marked rows
// and the probability of paternity by Bayes' rule with the a-priori probability typed by the
// operator. It works on the texts of the results table, because those texts are the record:
// a loaded results workbook brings back only texts.
//
// Texts: "Индекс отцовства (Combined Paternity Index) CPI=" + P (below 10: 3 significant
// digits, 1 decimal; otherwise a whole number) and "Вероятность отцовства P=" + W + "% (априор.
// вероятность pp=" + pp + ")", W with 4 decimals while q = 1 - P/(P+1) > 0.001 and -1-k decimals
// beyond (k = trunc(log10 q)). Products of 10^18 and more have no exact whole-number form and
// soon give q = 0, so there the CPI is written like a large LR ("1,0000E+21"), or as "более
// 1,1897E+4932" when the product leaves the long double range, and W keeps the 17 decimals of
// the last regular form. A number that is not 0 never reads 0: a CPI below 0,05 (a product of
// the mutation model's small indices) is written with 3 significant digits in the exponent form
// ("4,31E-11"), and so is a W that would read 0,0000. A probability below 1 (any prior below 1)
// never reads 100: W gets more decimals until it falls below 100, and past 17 decimals reads
// "> 99,99999999999999999". Only a prior of 1 gives 100 and only an exclusion (or a prior of 0)
// gives 0. No text ever holds nan or inf, and W stays within 0..100: a prior outside 0..1 and a
// negative LR are refused, and a zero denominator (P = 0 with prior 1) leaves the probability
// unwritten.
#include <string>
#include <vector>

#include "text/numberformat.h"

namespace engine {

// The three cells of a results row that the combination reads.
struct CombinedIndexRow {
    std::string number; // column 0
    std::string lr; // column 5
    std::string mark; // column 6
};

enum class CombinedIndexStatus {
    Ok,
    NoSelection, // "Выберите локусы": the fields keep their texts
    BadLr, // an LR text of a marked row is no number: the fields keep their texts
    BadPrior, // a prior outside 0..1: the fields keep their texts
    Undefined, // the probability has no value (P x pp + 1 - pp = 0): CPI written, probability kept
};

struct CombinedIndexResult {
    CombinedIndexStatus status = CombinedIndexStatus::NoSelection;
    std::string cpiText; // the CPI line, when status is Ok or Undefined
    std::string probabilityText; // the probability line, when status is Ok
    bool priorReset = false; // the prior text was no number: the field must read "0,5"
    std::string message; // for every status but Ok: the text of the message box
};

// rows[0] is row 1 of the table, up to row ResultCount. priorText is the prior field's text,
// read with a point or a comma; a text that is no number gives 0,5 and priorReset.
CombinedIndexResult CombineIndex(const std::vector<CombinedIndexRow>& rows, const std::string& priorText,
                                 const text::NumberFormat& format);

// Whether two result lines were formed from `rows` as they stand: the marked rows give the same
// CPI line (the prior does not enter it), and the probability line is the one its own stated
// prior gives. An empty probability line beside a CPI is the case of no defined probability. An
// empty CPI line belongs to no rows.
bool ResultLinesBelong(const std::vector<CombinedIndexRow>& rows, const std::string& cpiLine,
                       const std::string& probabilityLine, const text::NumberFormat& format);

} // namespace engine
