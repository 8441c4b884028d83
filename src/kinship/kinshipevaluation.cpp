// SPDX-License-Identifier: GPL-3.0-or-later
#include "kinshipevaluation.h"

#include <cmath>
#include <optional>

#include "engine/enginetexts.h"
#include "engine/mutationindex.h"
#include "freqdb/labsettings.h"
#include "kinship/kinshiptexts.h"
#include "kinship/pedigreelikelihood.h"
#include "results/genotyperow.h"

namespace kinship {
namespace {

using engine::Verdict;

KinshipRow notEvaluated(KinshipRow row, std::string reason)
{
    row.verdict = Verdict::Failed;
    row.formula = std::move(reason);
    row.lr.clear();
    return row;
}

// The row's locus with the alleles of its genotypes found (LocusTable::matchAllele); with a
// minimum frequency, a numeric label the table lacks is an allele of that frequency added after
// the table's own, as a trio's row adds it.
struct ResolvedLocus {
    freqdb::LocusRecord record;
    std::vector<std::optional<Genotype>> genotypes; // per person; nullopt: not typed
    std::string problem; // not empty: the row is not evaluated
};

ResolvedLocus resolve(const std::vector<CasePerson>& persons, const CaseLocusRow& row, const freqdb::LocusTable& table)
{
    ResolvedLocus out;
    const std::uint8_t locus = table.LocusIndexOf(row.locus);
    if (locus == 0) {
        out.problem = results::locusNotLoadedVerdict(row.locus);
        return out;
    }
    out.record = table.record(locus);
    const int own = out.record.AlleleCount;
    auto allele = [&](const std::string& typed, const Role& role) -> int {
        const std::string label(freqdb::withoutBlanks(typed));
        int index = table.matchAllele(locus, label);
        for (int i = own + 1; index == 0 && i <= out.record.AlleleCount; ++i)
            index = freqdb::sameAlleleLabel(out.record.Labels[static_cast<std::size_t>(i)], label) ? i : 0;
        if (index != 0)
            return index;
        if (results::isOffLadderLabel(label)) {
            out.problem = std::string(kOffLadder) + "«" + label + "» (" + role.shortName() + ")";
            return 0;
        }
        if (table.settings().minFrequency && freqdb::alleleLabelNumber(label)
            && out.record.AlleleCount < freqdb::kMaxAlleles) {
            ++out.record.AlleleCount;
            out.record.Labels[out.record.AlleleCount] = label;
            out.record.Frequencies[out.record.AlleleCount] = 0; // raised to the minimum where used
            return out.record.AlleleCount;
        }
        out.problem = std::string(kUnknownAllele) + "«" + label + "» в таблице локуса " + out.record.Name + " ("
                      + role.shortName() + ")";
        return 0;
    };
    for (std::size_t i = 0; i < persons.size(); ++i) {
        const std::string text = i < row.genotypes.size() ? row.genotypes[i] : std::string();
        if (untypedText(text)) {
            out.genotypes.push_back(std::nullopt);
            continue;
        }
        const auto pair = results::splitGenotype(std::string(freqdb::withoutBlanks(text)));
        if (!pair) {
            out.problem = std::string(kNoSlash) + " (" + persons[i].role.shortName() + ")";
            return out;
        }
        const int a = allele(pair->first, persons[i].role);
        const int b = a == 0 ? 0 : allele(pair->second, persons[i].role);
        if (!out.problem.empty())
            return out;
        out.genotypes.push_back(Genotype{a, b});
    }
    return out;
}

// The pedigree of the typed persons; `leftOut` (a person's position) is taken as untyped.
Family familyOf(const std::vector<CasePerson>& persons, const std::vector<std::optional<Genotype>>& g,
                std::size_t leftOut = static_cast<std::size_t>(-1))
{
    Family family;
    for (std::size_t i = 0; i < persons.size(); ++i) {
        if (!g[i] || i == leftOut)
            continue;
        switch (persons[i].role.kind) {
        case RoleKind::Child:
            family.child = g[i];
            break;
        case RoleKind::Mother:
            family.mother = g[i];
            break;
        case RoleKind::AllegedFather:
            family.allegedFather = g[i];
            break;
        case RoleKind::FathersFather:
            family.fathersFather = g[i];
            break;
        case RoleKind::FathersMother:
            family.fathersMother = g[i];
            break;
        case RoleKind::Brother:
        case RoleKind::Sister:
            family.siblings.push_back(*g[i]);
            break;
        case RoleKind::OtherChild:
        case RoleKind::OtherChildsMother:
            break;
        }
    }
    // Each of his other children with its mother, paired by number.
    for (std::size_t i = 0; i < persons.size(); ++i) {
        if (persons[i].role.kind != RoleKind::OtherChild || !g[i] || i == leftOut)
            continue;
        OtherChild other{g[i], std::nullopt};
        for (std::size_t j = 0; j < persons.size(); ++j) {
            if (persons[j].role.kind == RoleKind::OtherChildsMother && persons[j].role.number == persons[i].role.number
                && j != leftOut)
                other.mother = g[j];
        }
        family.otherChildren.push_back(other);
    }
    return family;
}

// "трио: отец ПО, мать ПО, брат ПО": the kind of case and the alleged father's typed relatives.
std::string constellation(const std::vector<CasePerson>& persons, const std::vector<std::optional<Genotype>>& g)
{
    std::string relatives;
    bool mother = false;
    for (std::size_t i = 0; i < persons.size(); ++i) {
        const RoleKind kind = persons[i].role.kind;
        if (!g[i] || kind == RoleKind::Child)
            continue;
        if (kind == RoleKind::Mother) {
            mother = true;
            continue;
        }
        relatives += (relatives.empty() ? "" : ", ") + persons[i].role.shortName();
    }
    return std::string(mother ? kTrio : kDuo) + ": " + (relatives.empty() ? std::string(kNoRelativesTyped) : relatives);
}

// The LR as the results table writes it; an index too small for two decimals keeps its digits
// in the exponent form, so it never reads as the exclusion's "0,00".
std::string lrText(long double lr, const text::NumberFormat& format)
{
    return lr >= 0.005L ? format.lr(lr) : format.scientific(lr, 3);
}

} // namespace

MutationConstant mutationConstant(const std::vector<long double>& frequencies, long double rate)
{
    MutationConstant out;
    long double sum = 0;
    for (std::size_t k = 1; k < frequencies.size(); ++k)
        sum += frequencies[k];
    const long double scale = sum > 1 ? 1 / sum : 1;
    out.frequencies = frequencies;
    long double variation = 0;
    for (std::size_t k = 1; k < frequencies.size(); ++k) {
        out.frequencies[k] = frequencies[k] * scale;
        variation += out.frequencies[k] * (1 - out.frequencies[k]);
    }
    if (sum < 1)
        variation += (1 - sum) * sum; // the remainder allele R = 1 - sum: R(1 - R)
    if (!(variation > 0)) {
        out.failure = engine::MutationFailure::NoVariation;
        return out;
    }
    out.a = rate / variation;
    for (std::size_t k = 1; k < frequencies.size(); ++k) {
        if (out.a * (1 - out.frequencies[k]) > 1)
            out.failure = engine::MutationFailure::RateTooHigh;
    }
    return out;
}

KinshipRow evaluateKinshipLocus(const std::vector<CasePerson>& persons, const CaseLocusRow& caseRow,
                                const freqdb::LocusTable& table, const text::NumberFormat& format)
{
    KinshipRow row;
    row.number = caseRow.number;
    row.locus = caseRow.locus;
    row.genotypes = caseRow.genotypes;
    row.genotypes.resize(persons.size());
    if (!caseRow.statedVerdict.empty())
        return notEvaluated(row, caseRow.statedVerdict);
    const ResolvedLocus locus = resolve(persons, caseRow, table);
    if (!locus.problem.empty())
        return notEvaluated(row, locus.problem);
    const auto& g = locus.genotypes;
    for (std::size_t i = 0; i < persons.size(); ++i) {
        if (g[i])
            row.typedRoles.push_back(persons[i].role.shortName());
    }
    const Family family = familyOf(persons, g);
    if (!family.child)
        return notEvaluated(row, std::string(kChildUntyped));

    const freqdb::LabSettings& settings = table.settings();
    std::vector<long double> p(static_cast<std::size_t>(locus.record.AlleleCount) + 1, 0.0L);
    for (int k = 1; k <= locus.record.AlleleCount; ++k) {
        const long double f = engine::indexFrequency(locus.record, static_cast<std::uint8_t>(k), settings);
        if (!std::isfinite(f) || f < 0)
            return notEvaluated(row, std::string(engine::kBadFrequencyPrefix) + locus.record.Labels[k]);
        p[static_cast<std::size_t>(k)] = f;
    }
    const Likelihoods plain = pedigreeLikelihoods(family, p);
    if (plain.family == 0) {
        // Name the relatives without any one of whom the others fit.
        std::string suspects;
        for (std::size_t i = 0; i < persons.size(); ++i) {
            const RoleKind kind = persons[i].role.kind;
            if (!g[i] || kind == RoleKind::Child || kind == RoleKind::Mother)
                continue;
            if (pedigreeLikelihoods(familyOf(persons, g, i), p).family > 0)
                suspects += (suspects.empty() ? "" : " или ") + persons[i].role.shortName();
        }
        return notEvaluated(row, std::string(kRelativesInconsistent) + (suspects.empty() ? "" : " (" + suspects + ")"));
    }
    if (family.mother && plain.childGivenMother == 0) {
        const auto [c1, c2] = *family.child;
        const auto [m1, m2] = *family.mother;
        if (c1 != m1 && c1 != m2 && c2 != m1 && c2 != m2) {
            row.verdict = Verdict::MaternityExcluded;
            row.formula = std::string(engine::kMaternityExcluded);
            return row;
        }
    }
    if (family.allegedFather) {
        // A control: the trio's or duo's row of the same genotypes, as batch gives it.
        const auto [f1, f2] = *family.allegedFather;
        const auto [c1, c2] = *family.child;
        const auto m = family.mother.value_or(Genotype{freqdb::NoAllele, freqdb::NoAllele});
        const auto u8 = [](int x) { return static_cast<std::uint8_t>(x); };
        const engine::LocusOutcome out = engine::EvaluateLocus(locus.record, u8(f1), u8(f2), u8(m.first), u8(m.second),
                                                               u8(c1), u8(c2), format, settings);
        row.verdict = out.verdict;
        row.formula = out.formula;
        row.lr = out.lr;
        row.lrValue = out.lrValue;
        row.mutation = out.mutation;
        return row;
    }
    for (int x : {family.child->first, family.child->second}) {
        if (p[static_cast<std::size_t>(x)] == 0)
            return notEvaluated(row, std::string(engine::kZeroFrequencyPrefix) + locus.record.Labels[x]
                                         + std::string(engine::kZeroFrequencySuffix));
    }
    if (!(plain.hd > 0))
        return notEvaluated(row, std::string(engine::kLrOutOfRange));
    const long double lr = plain.hp / plain.hd;
    if (!std::isfinite(lr))
        return notEvaluated(row, std::string(engine::kLrOutOfRange));
    if (lr > 0) {
        row.verdict = Verdict::Index;
        row.formula = constellation(persons, g);
        row.lrValue = lr;
        row.lr = lrText(lr, format);
        return row;
    }
    if (!settings.mutationOn()) {
        row.verdict = Verdict::PaternityExcluded;
        row.formula = std::string(engine::kPaternityExcluded);
        row.lr = std::string(engine::kPaternityExcludedLr);
        return row;
    }
    const MutationConstant model = mutationConstant(p, settings.mutationRate);
    if (model.failure == engine::MutationFailure::NoVariation)
        return notEvaluated(row, std::string(engine::kMutationNoVariation));
    if (model.failure == engine::MutationFailure::RateTooHigh)
        return notEvaluated(row, std::string(engine::kMutationRateTooHigh));
    const Likelihoods mutated = pedigreeLikelihoods(family, model.frequencies, model.a);
    const long double withMutation = mutated.hp / mutated.hd;
    if (!std::isfinite(withMutation) || !(mutated.hd > 0))
        return notEvaluated(row, std::string(engine::kLrOutOfRange));
    row.verdict = Verdict::Index;
    row.mutation = true;
    row.formula = std::string(engine::kMutationFormulaPrefix) + settings.mutationRateText;
    row.lrValue = withMutation;
    // As a trio's mutation index: three significant digits below 1.
    row.lr = withMutation >= 0.9995L ? format.lr(withMutation) : format.scientific(withMutation, 3);
    return row;
}

KinshipResult evaluateKinshipCase(const KinshipCase& kinshipCase, const freqdb::LocusTable& table,
                                  const text::NumberFormat& format, const std::string& prior)
{
    KinshipResult result;
    std::vector<engine::CombinedIndexRow> combination;
    for (const CaseLocusRow& caseRow : kinshipCase.rows) {
        result.rows.push_back(evaluateKinshipLocus(kinshipCase.persons, caseRow, table, format));
        const KinshipRow& row = result.rows.back();
        result.withoutLr += row.lr.empty() ? 1 : 0;
        combination.push_back({row.number.empty() ? std::to_string(result.rows.size()) : row.number, row.lr,
                               row.lr.empty() ? std::string() : std::string("++")});
    }
    result.combined = engine::CombineIndex(combination, prior, format);
    return result;
}

} // namespace kinship
