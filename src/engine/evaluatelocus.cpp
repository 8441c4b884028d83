// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluatelocus.h"

#include <cmath>
#include <string>
#include <vector>

#include "enginetexts.h"
#include "mutationindex.h"

namespace engine {
namespace {

using freqdb::LocusRecord;
using freqdb::NoAllele;
using Allele = std::uint8_t;

// A person's two alleles as a set: a homozygote is a one-member set.
struct Pair {
    Allele a, b;
    bool has(Allele x) const { return x == a || x == b; }
    bool homozygous() const { return a == b; }
    bool operator==(const Pair& o) const { return has(o.a) && has(o.b) && o.has(a) && o.has(b); }
};

// Builds the outcomes of one evaluation: the formula and frequency texts, the LR, the verdicts.
class Writer {
public:
    Writer(const LocusRecord& locus, const text::NumberFormat& format, const freqdb::LabSettings& settings, Pair F,
           std::optional<Pair> M, Pair C)
        : m_locus(locus), m_format(format), m_settings(settings), m_father(F), m_mother(M), m_child(C)
    {
    }

    std::string label(Allele x) const { return m_locus.Labels[x]; }

    // The frequency an index uses: the table's, raised to the lab's minimum when below it. A
    // frequency that is no proportion at all stays as it is, to be refused by checkFrequency.
    long double p(Allele x) const { return indexFrequency(m_locus, x, m_settings); }

    // The frequency an index divides by. Without θ the frequency above. With θ, the probability
    // that an allele the random man (or, in a duo, the untyped mother) passes on is x, given the
    // alleles already seen (Balding-Nichols): (n θ + (1 - θ) p) / (1 + k θ), where a trio has
    // seen the k + 1 = 4 alleles of the mother and the alleged father, n of them x; a duo the
    // alleged father's two and the child's other allele, k + 1 = 3. Every formula of the tables is
    // then the likelihood ratio with θ, and θ = 0 gives p itself, bit for bit.
    long double q(Allele x) const
    {
        const long double px = p(x);
        if (!m_settings.theta)
            return px;
        const long double theta = *m_settings.theta;
        int seen = (m_father.a == x) + (m_father.b == x);
        if (m_mother)
            seen += (m_mother->a == x) + (m_mother->b == x);
        else
            seen += (m_child.a == x ? m_child.b : m_child.a) == x;
        const long double earlier = m_mother ? 3.0L : 2.0L;
        return (seen * theta + (1 - theta) * px) / (1 + earlier * theta);
    }

    std::string frequencyText(Allele x) const { return "p(" + label(x) + ")=" + m_format.frequency(p(x)); }

    static LocusOutcome verdict(const char* rule, Verdict v)
    {
        LocusOutcome out;
        out.verdict = v;
        out.rule = rule;
        const bool paternity = v == Verdict::PaternityExcluded;
        // Built as new strings: assigning the views trips a false -Wrestrict of GCC 12 at -O2.
        out.formula = std::string(paternity ? kPaternityExcluded : kMaternityExcluded);
        out.lr = std::string(paternity ? kPaternityExcludedLr : kMaternityExcludedLr);
        return out;
    }

    // "Отцовство исключается", or with the mutation model on, the index with mutation.
    LocusOutcome paternityExcluded(const char* rule, Pair F, std::optional<Pair> M, Pair C) const
    {
        if (!m_settings.mutationOn())
            return verdict(rule, Verdict::PaternityExcluded);
        std::vector<long double> frequencies(static_cast<std::size_t>(m_locus.AlleleCount) + 1, 0.0L);
        for (int k = 1; k <= m_locus.AlleleCount; ++k) {
            if (auto bad = checkFrequency(static_cast<Allele>(k)))
                return *bad;
            frequencies[static_cast<std::size_t>(k)] = p(static_cast<Allele>(k));
        }
        Genotypes g{F.a, F.b, std::nullopt, C.a, C.b};
        if (M)
            g.mother = std::pair{M->a, M->b};
        const MutationIndex result = mutationIndex(frequencies, g, m_settings.mutationRate);
        switch (result.failure) {
        case MutationFailure::None:
            break;
        case MutationFailure::ZeroChildFrequency:
            return failed(std::string(kZeroFrequencyPrefix) + shownLabel(result.allele)
                          + std::string(kZeroFrequencySuffix));
        case MutationFailure::NoVariation:
            return failed(std::string(kMutationNoVariation));
        case MutationFailure::RateTooHigh:
            return failed(std::string(kMutationRateTooHigh));
        }
        if (!std::isfinite(result.lr))
            return failed(std::string(kLrOutOfRange));
        LocusOutcome out;
        out.verdict = Verdict::Index;
        out.rule = rule;
        out.mutation = true;
        out.formula = std::string(kMutationFormulaPrefix) + m_settings.mutationRateText;
        out.lrValue = result.lr;
        // Three significant digits: below 1 in exponent form, so that a small index never reads
        // "0,00" (and multiplies into the CPI as what it is); from 1 up as every LR is written.
        out.lr = result.lr >= 0.9995L ? m_format.lr(result.lr) : m_format.scientific(result.lr, 3);
        out.frequency1 = frequencyText(C.a);
        if (C.a != C.b)
            out.frequency2 = frequencyText(C.b);
        return out;
    }

    static LocusOutcome failed(std::string message)
    {
        LocusOutcome out;
        out.verdict = Verdict::Failed;
        out.formula = std::move(message);
        return out;
    }

    // A frequency a formula uses must be a proportion; names the allele when it is not.
    std::optional<LocusOutcome> checkFrequency(Allele x) const
    {
        const long double f = p(x);
        if (std::isnan(f) || f < 0 || !std::isfinite(f))
            return failed(std::string(kBadFrequencyPrefix) + shownLabel(x));
        return std::nullopt;
    }

    // One-allele formula: LR = constant / p(x).
    LocusOutcome single(const char* rule, const std::string& formula, long double numerator, Allele x) const
    {
        if (auto bad = checkFrequency(x))
            return *bad;
        if (q(x) == 0)
            return failed(std::string(kZeroFrequencyPrefix) + shownLabel(x) + std::string(kZeroFrequencySuffix));
        return index(rule, formula, numerator / q(x), x, std::nullopt);
    }

    // Two-allele formulas of the child's alleles, c1 before c2.
    LocusOutcome pair(const char* rule, const std::string& formula, Allele c1, Allele c2) const
    {
        for (Allele x : {c1, c2}) {
            if (auto bad = checkFrequency(x))
                return *bad;
        }
        long double lr = 0;
        const std::string r = rule;
        if (r == "D2") {
            // Divides by each frequency: the first zero one is named.
            for (Allele x : {c1, c2}) {
                if (q(x) == 0)
                    return failed(std::string(kZeroFrequencyPrefix) + shownLabel(x)
                                  + std::string(kZeroFrequencySuffix));
            }
            lr = ((q(c1) + q(c2)) / 4.0L) / q(c1) / q(c2);
        } else {
            // Divides by the sum, which is zero only when both are.
            if (q(c1) + q(c2) == 0)
                return failed(std::string(kZeroFrequenciesPrefix) + shownLabel(c1) + " и " + shownLabel(c2)
                              + std::string(kZeroFrequencySuffix));
            lr = r == "T11" ? 0.5L / (q(c1) + q(c2)) : 1.0L / (q(c1) + q(c2));
        }
        return index(rule, formula, lr, c1, c2);
    }

private:
    // The label as a message shows it: an allele with an empty label is named by its number.
    std::string shownLabel(Allele x) const { return label(x).empty() ? "№" + std::to_string(x) : label(x); }

    LocusOutcome index(const char* rule, const std::string& formula, long double lr, Allele first,
                       std::optional<Allele> second) const
    {
        if (!std::isfinite(lr))
            return failed(std::string(kLrOutOfRange));
        LocusOutcome out;
        out.verdict = Verdict::Index;
        out.rule = rule;
        out.lrValue = lr;
        if (m_settings.theta) {
            // The table's formula, named as corrected: "θ=0,01 1/2p(15)". An index too small for
            // two decimals keeps its digits in the exponent form.
            out.formula = std::string(kThetaFormulaPrefix) + m_settings.thetaText + " " + formula;
            out.lr = lr >= 0.005L ? m_format.lr(lr) : m_format.scientific(lr, 3);
        } else {
            out.formula = formula;
            out.lr = m_format.lr(lr);
        }
        out.frequency1 = frequencyText(first);
        if (second)
            out.frequency2 = frequencyText(*second);
        return out;
    }

    const LocusRecord& m_locus;
    const text::NumberFormat& m_format;
    const freqdb::LabSettings& m_settings;
    Pair m_father;
    std::optional<Pair> m_mother; // nullopt: not typed
    Pair m_child;
};

// Mother absent: rows D1..D9, the first that holds decides.
LocusOutcome duo(const Writer& w, Pair F, Pair C)
{
    const Allele f1 = F.a, f2 = F.b, c1 = C.a, c2 = C.b;
    if (F == C && F.homozygous())
        return w.single("D1", "1/p(" + w.label(f1) + ")", 1.0L, f1);
    if (F == C)
        return w.pair("D2",
                      "(p(" + w.label(c1) + ")+p(" + w.label(c2) + "))/4p(" + w.label(c1) + ")p(" + w.label(c2) + ")",
                      c1, c2);
    const bool oneHomozygous = F.homozygous() != C.homozygous();
    if (oneHomozygous && C.has(f1))
        return w.single("D3", "1/2p(" + w.label(f1) + ")", 0.5L, f1);
    if (oneHomozygous && C.has(f2))
        return w.single("D4", "1/2p(" + w.label(f2) + ")", 0.5L, f2);
    if (oneHomozygous)
        return w.paternityExcluded("D5", F, std::nullopt, C);
    if (F.homozygous())
        return w.paternityExcluded("D6", F, std::nullopt, C);
    if (C.has(f1))
        return w.single("D7", "1/4p(" + w.label(f1) + ")", 0.25L, f1);
    if (C.has(f2))
        return w.single("D8", "1/4p(" + w.label(f2) + ")", 0.25L, f2);
    return w.paternityExcluded("D9", F, std::nullopt, C);
}

// Mother typed: exclusions T1..T6, then the formulas T7..T13.
LocusOutcome trio(const Writer& w, Pair F, Pair M, Pair C)
{
    const Allele f1 = F.a, f2 = F.b, m1 = M.a, m2 = M.b, c1 = C.a, c2 = C.b;
    if (M.homozygous() && F == M && !C.homozygous()) {
        if (F.has(c1) || F.has(c2))
            return w.paternityExcluded("T1", F, M, C);
        return Writer::verdict("T1", Verdict::MaternityExcluded);
    }
    if (!M.has(c1) && !M.has(c2))
        return Writer::verdict("T2", Verdict::MaternityExcluded);
    if (!F.homozygous() && F == M && !C.homozygous() && !(C == F))
        return w.paternityExcluded("T3", F, M, C);
    if (F.has(c1) && M.has(c1) && !F.has(c2) && !M.has(c2))
        return w.paternityExcluded("T4", F, M, C);
    if (F.has(c2) && M.has(c2) && !F.has(c1) && !M.has(c1))
        return w.paternityExcluded("T5", F, M, C);
    if (!F.has(c1) && !F.has(c2))
        return w.paternityExcluded("T6", F, M, C);

    if (F.homozygous() && C.homozygous() && c1 == f1 && M.has(f1))
        return w.single("T7", "1/p(" + w.label(f1) + ")", 1.0L, f1);
    if (F.homozygous() && C.has(f1) && (C.has(m1) || C.has(m2)) && !F.has(m1) && !F.has(m2))
        return w.single("T8", "1/p(" + w.label(f1) + ")", 1.0L, f1);
    if (!F.homozygous() && !C.homozygous() && !(F == M) && !(F == C) && !(M == C)) {
        const Allele x = C.has(f1) && !M.has(f1) ? f1 : f2;
        return w.single("T9", "1/2p(" + w.label(x) + ")", 0.5L, x);
    }
    if (!F.homozygous() && C.homozygous())
        return w.single("T10", "1/2p(" + w.label(c1) + ")", 0.5L, c1);
    if (!C.homozygous() && C == M && (!M.has(f1) || !M.has(f2)))
        return w.pair("T11", "1/(2p(" + w.label(c1) + ")+2p(" + w.label(c2) + "))", c1, c2);
    if (!C.homozygous() && C == M)
        return w.pair("T12", "1/(p(" + w.label(c1) + ")+p(" + w.label(c2) + "))", c1, c2);
    if (!F.homozygous() && !C.homozygous() && F == C && !(M == F)) {
        const Allele x = !M.has(f1) ? f1 : f2;
        return w.single("T13", "1/2p(" + w.label(x) + ")", 0.5L, x);
    }
    // Every constellation past T6 meets a formula; this is a guard, not a verdict.
    return Writer::failed(std::string(kNoRuleApplies));
}

} // namespace

long double indexFrequency(const freqdb::LocusRecord& locus, std::uint8_t allele, const freqdb::LabSettings& settings)
{
    const long double stored = locus.Frequencies[allele];
    if (settings.minFrequency && stored >= 0 && stored < *settings.minFrequency)
        return *settings.minFrequency;
    return stored;
}

bool isMutationFormula(std::string_view formula)
{
    return formula.substr(0, kMutationFormulaPrefix.size()) == kMutationFormulaPrefix;
}

LocusOutcome EvaluateLocus(const freqdb::LocusRecord& locus, std::uint8_t f1, std::uint8_t f2, std::uint8_t m1,
                           std::uint8_t m2, std::uint8_t c1, std::uint8_t c2, const text::NumberFormat& format)
{
    return EvaluateLocus(locus, f1, f2, m1, m2, c1, c2, format, freqdb::LabSettings{});
}

LocusOutcome EvaluateLocus(const freqdb::LocusRecord& locus, std::uint8_t f1, std::uint8_t f2, std::uint8_t m1,
                           std::uint8_t m2, std::uint8_t c1, std::uint8_t c2, const text::NumberFormat& format,
                           const freqdb::LabSettings& settings)
{
    // Callers pass indices they looked up; a failed lookup (0) or "Нет" for the father or the
    // child must not read outside the locus.
    if (!locus.hasAllele(f1) || !locus.hasAllele(f2))
        return Writer::failed(std::string(kBadAlleleIndex) + std::string(kFatherRole));
    if (!locus.hasAllele(c1) || !locus.hasAllele(c2))
        return Writer::failed(std::string(kBadAlleleIndex) + std::string(kChildRole));
    const auto motherOk = [&](std::uint8_t m) { return m == NoAllele || locus.hasAllele(m); };
    if (!motherOk(m1) || !motherOk(m2))
        return Writer::failed(std::string(kBadAlleleIndex) + std::string(kMotherRole));

    if (const auto conflict = freqdb::settingsConflict(settings))
        return Writer::failed(*conflict);
    if (m1 == NoAllele || m2 == NoAllele)
        return duo(Writer(locus, format, settings, {f1, f2}, std::nullopt, {c1, c2}), {f1, f2}, {c1, c2});
    return trio(Writer(locus, format, settings, {f1, f2}, Pair{m1, m2}, {c1, c2}), {f1, f2}, {m1, m2}, {c1, c2});
}

} // namespace engine
