// SPDX-License-Identifier: GPL-3.0-or-later
#include "combinedindex.h"

#include <cfloat>
#include <cmath>
#include <optional>

#include "enginetexts.h"

namespace engine {
namespace {

// From this product on the whole-number CPI would need more digits than a long double holds
// (and soon q = 1 - P/(P+1) is 0), so both fields switch to their bounded forms.
constexpr long double kHugeProduct = 1e18L;

// Probability decimals of the huge forms: those of the last regular form (k = -18).
constexpr int kHugeProbabilityDecimals = 17;

bool isSelected(const CombinedIndexRow& row)
{
    return row.mark == "++" && !row.lr.empty();
}

std::string cpiNumber(long double p, const text::NumberFormat& format)
{
    if (!std::isfinite(p))
        return std::string(kCpiBeyondRange) + format.lr(LDBL_MAX);
    if (p >= kHugeProduct)
        return format.lr(p); // scientific, five significant digits
    if (std::trunc(p / 10.0L) == 0) {
        // Below 0,05 one decimal would read 0,0, the text of an exclusion: a product of small
        // indices (the mutation model's) is written like such an index instead ("4,31E-11").
        const std::string text = format.fixed(p, 3, 1);
        return p > 0 && format.parse(text) == 0.0L ? format.scientific(p, 3) : text;
    }
    const int e = static_cast<int>(std::trunc(std::log10(p)));
    return format.fixed(p, e + 3, 0);
}

// W = 100 x (P x pp) / (P x pp + 1 - pp), with the limits the formula reaches where the
// product overflows. The denominator is known to be non-zero here.
long double probabilityPercent(long double p, long double pp)
{
    if (pp == 0)
        return 0;
    const long double weighted = p * pp;
    if (!std::isfinite(weighted))
        return 100;
    const long double w = 100.0L * weighted / (weighted + (1.0L - pp));
    return std::fmin(std::fmax(w, 0.0L), 100.0L);
}

// 100 - W, computed as 100 x (1 - pp) / (P x pp + 1 - pp) rather than by the subtraction, which
// loses it: a probability below 1 stays known as such however close to 1 it comes. Zero only for
// a prior of 1 (or a product beyond the long double range).
long double complementPercent(long double p, long double pp)
{
    const long double weighted = p * pp;
    if (!std::isfinite(weighted))
        return 0;
    return 100.0L * (1.0L - pp) / (weighted + (1.0L - pp));
}

// W as the rule of the decimals writes it.
std::string regularProbabilityNumber(long double p, long double w, const text::NumberFormat& format)
{
    const long double q = 1.0L - p / (p + 1.0L);
    if (q > 0.001L)
        return format.fixed(w, 6, 4);
    if (!(q > 0) || p >= kHugeProduct || !std::isfinite(p))
        return format.fixed(w, kHugeProbabilityDecimals + 2, kHugeProbabilityDecimals);
    // The decimals grow with P: k = trunc(log10 q) is -3 or less.
    const int k = static_cast<int>(std::trunc(std::log10(q)));
    return format.fixed(w, 1 - k, -1 - k);
}

// W as written: the regular form, except where it would read 0 for a probability above 0 (then
// in the exponent form, "4,31E-09") or 100 for a probability below 1 (then with as many more
// decimals as it takes to fall below 100, up to those of the huge form; beyond them, "> 99,99...9").
std::string probabilityNumber(long double p, long double pp, long double w, const text::NumberFormat& format)
{
    const std::string text = regularProbabilityNumber(p, w, format);
    const std::optional<long double> shown = format.parse(text);
    if (w > 0 && shown == 0.0L)
        return format.scientific(w, 3);
    if (pp >= 1 || shown != 100.0L)
        return text;
    const long double below = 100.0L - complementPercent(p, pp);
    const auto separator = text.find(format.decimalSeparator());
    const int decimals = separator == std::string::npos
                             ? 0
                             : static_cast<int>(text.size() - separator - format.decimalSeparator().size());
    for (int d = decimals + 1; d <= kHugeProbabilityDecimals; ++d) {
        std::string longer = format.fixed(below, d + 2, d);
        if (format.parse(longer) < 100.0L)
            return longer;
    }
    return "> 99" + format.decimalSeparator() + std::string(kHugeProbabilityDecimals, '9');
}

CombinedIndexResult failure(CombinedIndexStatus status, std::string message)
{
    CombinedIndexResult result;
    result.status = status;
    result.message = std::move(message);
    return result;
}

// The prior a probability line states: the text between "pp=" and the closing bracket.
std::string statedPrior(const std::string& probabilityLine)
{
    const auto start = probabilityLine.find(kProbabilityMiddle);
    if (start == std::string::npos || !probabilityLine.ends_with(kProbabilitySuffix))
        return {};
    const auto from = start + kProbabilityMiddle.size();
    return probabilityLine.substr(from, probabilityLine.size() - kProbabilitySuffix.size() - from);
}

} // namespace

bool ResultLinesBelong(const std::vector<CombinedIndexRow>& rows, const std::string& cpiLine,
                       const std::string& probabilityLine, const text::NumberFormat& format)
{
    if (cpiLine.empty() || CombineIndex(rows, format.general(0.5L), format).cpiText != cpiLine)
        return false;
    if (probabilityLine.empty())
        return true;
    const CombinedIndexResult stated = CombineIndex(rows, statedPrior(probabilityLine), format);
    return !stated.priorReset && stated.probabilityText == probabilityLine;
}

CombinedIndexResult CombineIndex(const std::vector<CombinedIndexRow>& rows, const std::string& priorText,
                                 const text::NumberFormat& format)
{
    // The first selected row; the search also stops at a row without a number (the end of the
    // filled rows).
    std::size_t first = 0;
    while (first < rows.size() && !isSelected(rows[first]) && !rows[first].number.empty())
        ++first;
    if (first == rows.size() || !isSelected(rows[first]) || rows[first].number.empty())
        return failure(CombinedIndexStatus::NoSelection, std::string(kNoSelection));

    // The product of the LR texts as shown. An exclusion (0) makes it 0 whatever else it holds,
    // so an overflow to infinity never meets a zero factor.
    long double product = 1.0L;
    bool excluded = false;
    for (std::size_t i = first; i < rows.size(); ++i) {
        if (!isSelected(rows[i]))
            continue;
        const std::string rowNumber = std::to_string(i + 1);
        const std::optional<long double> lr = format.parse(rows[i].lr);
        if (!lr)
            return failure(CombinedIndexStatus::BadLr,
                           std::string(kBadLrPrefix) + rowNumber + ": \"" + rows[i].lr + "\"");
        if (*lr < 0)
            return failure(CombinedIndexStatus::BadLr,
                           std::string(kNegativeLrPrefix) + rowNumber + ": \"" + rows[i].lr + "\"");
        if (*lr == 0)
            excluded = true;
        product *= *lr;
    }
    if (excluded)
        product = 0;

    CombinedIndexResult result;
    // The prior is typed by the operator: a point reads as well as the comma.
    std::optional<long double> prior = format.parseWithPointOrComma(priorText);
    if (!prior) {
        prior = 0.5L;
        result.priorReset = true;
    } else if (!(*prior >= 0 && *prior <= 1)) {
        return failure(CombinedIndexStatus::BadPrior, std::string(kBadPrior));
    }
    const long double pp = *prior;

    result.cpiText = std::string(kCpiPrefix) + cpiNumber(product, format);
    // 1 - pp first: with a prior of 1, a small product added to 1 would vanish and leave a zero
    // denominator for a probability that is 1.
    if (product * pp + (1.0L - pp) == 0) {
        result.status = CombinedIndexStatus::Undefined;
        result.message = std::string(kUndefinedProbability);
        return result;
    }
    const long double w = probabilityPercent(product, pp);
    result.status = CombinedIndexStatus::Ok;
    result.probabilityText = std::string(kProbabilityPrefix) + probabilityNumber(product, pp, w, format)
                             + std::string(kProbabilityMiddle) + format.general(pp) + std::string(kProbabilitySuffix);
    return result;
}

} // namespace engine
